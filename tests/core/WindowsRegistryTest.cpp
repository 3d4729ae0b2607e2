// What Windows keeps in its registry and its kernel for the program: the
// profile under HKEY_CURRENT_USER (checked with the system's own reg.exe as
// well as through the store), the autostart value in the Run keys (the
// machine's refused as a normal user's would be), and the single-instance
// mutex across two processes.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>
// The profile functions of the store, not the system's of the same names.
#undef GetProfileString
#undef WriteProfileString

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/Autostart.h"
#include "platform/Cp949.h"
#include "platform/ExecutablePath.h"
#include "platform/NativePath.h"
#include "platform/SingleInstanceGuard.h"
#include "profile/PersonalProfile.h"
#include "profile/Preferences.h"
#include "profile/ProgramPassword.h"
#include "profile/RegistryProfileStore.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

std::wstring Wide(const std::string& utf8) { return NativePath::ToFs(utf8).wstring(); }

// Runs a command line, waits for it and returns its exit code (-1: it did
// not start or not end within the time).
int RunAndWait(const std::wstring& commandLine, DWORD timeoutMilliseconds = 30000) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::wstring line = commandLine;
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process))
    return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, timeoutMilliseconds) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  else
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

// The text of a UTF-16 file with a byte order mark (what "reg export" writes).
std::wstring ReadUtf16(const std::string& path) {
  const std::string bytes = test::ReadFileBytes(path);
  std::wstring text(bytes.size() / 2, L'\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  return text;
}

// Deletes a key below HKEY_CURRENT_USER with everything in it, now and when
// the object goes away.
class ScratchKey {
 public:
  explicit ScratchKey(std::wstring path) : path_(std::move(path)) { Delete(); }
  ~ScratchKey() { Delete(); }
  const std::wstring& Path() const { return path_; }

 private:
  void Delete() { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }
  std::wstring path_;
};

TEST(WindowsRegistryProfile, EveryValueRoundTripsAndTheSystemReadsTheSameKeys) {
  const std::string keyPath = "Software\\Ambrel\\veradex_registry_test";
  ScratchKey scratch(Wide(keyPath));
  RegistryProfileStore store("veradex_registry_test");
  ASSERT_EQ(store.KeyPath(), keyPath);

  // Every value of the profile, Korean ones as code page 949 bytes.
  PersonalProfile profile;
  profile.name = Cp949::FromUtf8("  홍길동 (주)광고신고  ");  // kept with its blanks until the next load
  profile.email = "hong@example.com";
  profile.tel1 = "02";
  profile.tel2 = "123";
  profile.tel3 = "4567";
  profile.mtel1 = "010";
  profile.mtel2 = "9876";
  profile.mtel3 = "5432";
  profile.carrier = Cp949::FromUtf8("기타");
  profile.reportPassword = Cp949::FromUtf8("비번\"\\%PATH%'");
  const std::string name = profile.name;
  ASSERT_TRUE(profile.Save(store));
  Preferences preferences;
  preferences.hideAtRun = true;
  preferences.usePassword = true;
  preferences.runAtStart = false;
  preferences.programDir = Cp949::FromUtf8("C:\\프로그램\\Veradex\\");
  ASSERT_TRUE(preferences.Save(store));
  ASSERT_TRUE(preferences.SaveProgramDir(store));
  ProgramPassword password(store);
  ASSERT_TRUE(password.Set(Cp949::FromUtf8("암호 1")));
  ASSERT_TRUE(password.MarkSetUp());
  // Text that is not whole code page 949 characters is refused, the old value kept.
  EXPECT_FALSE(store.WriteProfileString("Options", "Name", "\xB1"));

  const struct {
    const char* section;
    const char* entry;
    std::string value;
  } values[] = {
      {"Options", "Name", name},
      {"Options", "EMail", "hong@example.com"},
      {"Options", "Tel1", "02"},
      {"Options", "Tel2", "123"},
      {"Options", "Tel3", "4567"},
      {"Options", "MTel1", "010"},
      {"Options", "MTel2", "9876"},
      {"Options", "MTel3", "5432"},
      {"Options", "McomTel", Cp949::FromUtf8("기타")},
      {"Options", "singo_pw", Cp949::FromUtf8("비번\"\\%PATH%'")},
      {"environments", "ProPathName", Cp949::FromUtf8("C:\\프로그램\\Veradex\\")},
      {"environments", "setup", "1"},
      {"environments", "PW", Cp949::FromUtf8("암호 1")},
      {"environments", "use_pw", "1"},
      {"environments", "run_at_sysstart", ""},
      {"environments", "hide_at_run", "1"},
  };
  // Through a store opened afresh, as the next start reads them.
  RegistryProfileStore reopened("veradex_registry_test");
  for (const auto& v : values) EXPECT_EQ(reopened.GetProfileString(v.section, v.entry, "-"), v.value) << v.entry;
  EXPECT_EQ(reopened.GetProfileString("Options", "Missing", "default"), "default");
  std::string binary = "x";
  EXPECT_TRUE(reopened.GetProfileBinary("Options", "Password", &binary));
  EXPECT_EQ(binary, "");
  PersonalProfile loaded;
  loaded.Load(reopened);
  EXPECT_EQ(loaded.name, Cp949::FromUtf8("홍길동 (주)광고신고"));

  // The system's view: reg query lists each section as a subkey of the key
  // with every value as REG_SZ (Password as REG_BINARY); reg export (UTF-16)
  // shows the Korean texts as the characters they are.
  test::TempDir dir;
  const std::string queried = dir.File("query.txt");
  const std::wstring hkcuKey = L"HKEY_CURRENT_USER\\" + Wide(keyPath);
  ASSERT_EQ(RunAndWait(L"cmd.exe /c reg query \"" + hkcuKey + L"\" /s > \"" + Wide(queried) + L"\""), 0);
  const std::string listing = test::ReadFileBytes(queried);
  EXPECT_NE(listing.find(keyPath + "\\Options\r\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find(keyPath + "\\environments\r\n"), std::string::npos) << listing;
  for (const auto& v : values)
    EXPECT_NE(listing.find(std::string("    ") + v.entry + "    REG_SZ"), std::string::npos) << v.entry;
  EXPECT_NE(listing.find("    Password    REG_BINARY"), std::string::npos) << listing;
  const std::string exported = dir.File("export.reg");
  ASSERT_EQ(RunAndWait(L"reg.exe export \"" + hkcuKey + L"\" \"" + Wide(exported) + L"\" /y"), 0);
  const std::wstring text = ReadUtf16(exported);
  EXPECT_NE(text.find(L"\"Name\"=\"  \xD64D\xAE38\xB3D9 (\xC8FC)\xAD11\xACE0\xC2E0\xACE0  \""), std::wstring::npos);
  EXPECT_NE(text.find(L"\"McomTel\"=\"\xAE30\xD0C0\""), std::wstring::npos);
  EXPECT_NE(text.find(L"\"PW\"=\"\xC554\xD638 1\""), std::wstring::npos);
  EXPECT_NE(text.find(L"\"ProPathName\"=\"C:\\\\\xD504\xB85C\xADF8\xB7A8\\\\Veradex\\\\\""), std::wstring::npos);
}

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// HKEY_LOCAL_MACHINE of this process mapped to a scratch key, with the Run
// key below it writable or refused as a normal user's is (a DACL that lets
// everyone read only).
class MachineKeyStandIn {
 public:
  explicit MachineKeyStandIn(bool writable) : scratch_(L"Software\\VeradexTest\\Machine") {
    HKEY run = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, (scratch_.Path() + L"\\" + kRunKey).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &run, nullptr);
    if (!writable) {
      PSECURITY_DESCRIPTOR descriptor = nullptr;
      ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &descriptor, nullptr);
      RegSetKeySecurity(run, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, descriptor);
      LocalFree(descriptor);
    }
    RegCloseKey(run);
    RegOpenKeyExW(HKEY_CURRENT_USER, scratch_.Path().c_str(), 0, KEY_ALL_ACCESS, &root_);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, root_);
  }
  ~MachineKeyStandIn() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(root_);
    // The refused key lets its owner give itself the right to delete it.
    HKEY run = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (scratch_.Path() + L"\\" + kRunKey).c_str(), 0, WRITE_DAC, &run) ==
        ERROR_SUCCESS) {
      PSECURITY_DESCRIPTOR descriptor = nullptr;
      ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;KA;;;WD)", SDDL_REVISION_1, &descriptor, nullptr);
      RegSetKeySecurity(run, DACL_SECURITY_INFORMATION, descriptor);
      LocalFree(descriptor);
      RegCloseKey(run);
    }
  }
  MachineKeyStandIn(const MachineKeyStandIn&) = delete;
  MachineKeyStandIn& operator=(const MachineKeyStandIn&) = delete;

 private:
  ScratchKey scratch_;
  HKEY root_ = nullptr;
};

// The value "Veradex" under the Run key of the root; "-" when there is none.
std::wstring RunValue(HKEY root) {
  wchar_t text[1024] = {};
  DWORD size = sizeof text - sizeof(wchar_t);
  DWORD type = 0;
  if (RegGetValueW(root, kRunKey, L"Veradex", RRF_RT_ANY, &type, text, &size) != ERROR_SUCCESS) return L"-";
  return type == REG_SZ ? std::wstring(text) : L"(not REG_SZ)";
}

TEST(WindowsAutostart, MachineRunKeyWhereAllowedElseTheUsersAndOffRemovesBoth) {
  const std::string exe = "C:\\\xED\x94\x84\xEB\xA1\x9C\xEA\xB7\xB8\xEB\x9E\xA8\\Veradex\\veradex.exe";  // 프로그램
  const std::wstring quoted = L"\"C:\\\xD504\xB85C\xADF8\xB7A8\\Veradex\\veradex.exe\"";
  const struct {
    const char* name;
    bool machineWritable;
    int on;
    bool userEntryBefore;
    int result;
    const wchar_t* machineAfter;
    const wchar_t* userAfter;
  } cases[] = {
      {"on, administrator: the machine's key, a user entry dropped", true, 1, true, 1, quoted.c_str(), L"-"},
      {"on, normal user: the user's key", false, 1, false, 1, L"-", quoted.c_str()},
      {"off, normal user: the user's entry removed", false, 0, true, 1, L"-", L"-"},
      {"off with no entry anywhere: failure, nothing changes", true, 0, false, 0, L"-", L"-"},
      {"off, administrator: both removed", true, 0, true, 1, L"-", L"-"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Veradex");
    if (c.userEntryBefore) RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Veradex", REG_SZ, L"\"old.exe\"", 20);
    MachineKeyStandIn machine(c.machineWritable);
    if (c.on == 0 && c.machineWritable && c.userEntryBefore)
      RegSetKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, L"Veradex", REG_SZ, L"\"old.exe\"", 20);
    const Autostart autostart("", "", exe);
    EXPECT_EQ(autostart.ApplyAutostart(c.on), c.result);
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), c.machineAfter);
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER), c.userAfter);
    EXPECT_EQ(autostart.IsRegistered(), c.on == 1);
  }
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Veradex");
}

// A copy of this test program that takes the marker and reports through its
// exit code: 0 when it got it, 3 when another copy holds it.
TEST(WindowsSingleInstance, SecondCopy) {
  if (std::getenv("VERADEX_MARKER_CHILD") == nullptr) GTEST_SKIP() << "run by SecondProcessIsRefusedWhileTheFirstRuns";
  SingleInstanceGuard guard(std::getenv("VERADEX_MARKER_CHILD"), std::string());
  std::exit(guard.Acquire() ? 0 : 3);
}

TEST(WindowsSingleInstance, SecondProcessIsRefusedWhileTheFirstRuns) {
  const std::string marker = "App. Internet Velmora test " + std::to_string(GetCurrentProcessId());
  const std::wstring child =
      L"\"" + Wide(ExecutablePath::GetExecutablePath()) + L"\" --gtest_filter=WindowsSingleInstance.SecondCopy";
  SetEnvironmentVariableW(L"VERADEX_MARKER_CHILD", Wide(marker).c_str());
  EXPECT_EQ(RunAndWait(child), 0);  // nobody holds it
  {
    SingleInstanceGuard first(marker, std::string());
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(first.Acquire());
    EXPECT_EQ(RunAndWait(child), 3);
    // The name is a mutex nobody owns: waiting on it never blocks.
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, Wide(marker).c_str());
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
  }
  EXPECT_EQ(RunAndWait(child), 0);  // gone with the first copy's handle
  SetEnvironmentVariableW(L"VERADEX_MARKER_CHILD", nullptr);
}

}  // namespace
}  // namespace veradex
