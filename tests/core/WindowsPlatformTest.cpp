// The platform layer on Windows: folders from the environment read in UTF-16,
// paths kept as UTF-8 and handed to the system as UTF-16 (a Korean user name
// or folder must work whatever the system's code page), the executable's own
// path, and the system's trusted authorities for OpenSSL.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>
#include <openssl/x509.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "net/WindowsRootStore.h"
#include "platform/ExecutablePath.h"
#include "platform/NativePath.h"
#include "platform/UserFolders.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

// Sets a variable in UTF-16 for the life of the object (the way Windows
// hands the program a user name that the code page may not hold).
class ScopedWideVariable {
 public:
  ScopedWideVariable(const wchar_t* name, const std::wstring& value) : name_(name) {
    if (const wchar_t* old = ::_wgetenv(name)) {
      had_ = true;
      old_ = old;
    }
    ::_wputenv_s(name, value.c_str());
  }
  ~ScopedWideVariable() { ::_wputenv_s(name_.c_str(), had_ ? old_.c_str() : L""); }

 private:
  std::wstring name_;
  bool had_ = false;
  std::wstring old_;
};

std::wstring Wide(const std::string& utf8) { return NativePath::ToFs(utf8).wstring(); }

TEST(WindowsUserFolders, RoamingAndLocalFoldersComeFromTheEnvironmentInUtf16) {
  test::TempDir dir;
  // 홍길동 as the account's name, in the two profile folders.
  const std::wstring roaming = Wide(dir.Path()) + L"\\\xD64D\xAE38\xB3D9\\AppData\\Roaming";
  const std::wstring local = Wide(dir.Path()) + L"\\\xD64D\xAE38\xB3D9\\AppData\\Local";
  ScopedWideVariable appData(L"APPDATA", roaming);
  ScopedWideVariable localAppData(L"LOCALAPPDATA", local);
  const struct {
    UserFolders::Kind kind;
    const std::wstring& expected;
  } cases[] = {{UserFolders::Kind::kConfig, roaming},
               {UserFolders::Kind::kData, roaming},
               {UserFolders::Kind::kState, local},
               {UserFolders::Kind::kCache, local}};
  for (const auto& c : cases) {
    const std::string base = UserFolders::Base(c.kind);
    EXPECT_EQ(Wide(base), c.expected) << static_cast<int>(c.kind);
    // The folder and a file in it are made under exactly that name.
    const std::string folder = base + "/Ambrel/veradex";
    ASSERT_TRUE(UserFolders::MakePrivate(folder)) << folder;
    std::FILE* file = NativePath::Open(folder + "/\xEC\x8B\xA0\xEA\xB3\xA0.txt", "wb");  // 신고.txt
    ASSERT_NE(file, nullptr) << folder;
    std::fclose(file);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(c.expected) / L"Ambrel\\veradex\\\xC2E0\xACE0.txt"));
  }
}

TEST(WindowsNativePath, KoreanPathsRoundTripAndOpen) {
  test::TempDir dir;
  const std::string path =
      dir.Path() + "\\\xEC\x83\x88 \xED\x8F\xB4\xEB\x8D\x94\\\xEB\xA9\x94\xEC\x9D\xBC.eml";  // 새 폴더\메일.eml
  EXPECT_EQ(NativePath::FromWx(NativePath::ToWx(path)), path);
  EXPECT_EQ(NativePath::FromFs(NativePath::ToFs(path)), path);
  ASSERT_TRUE(UserFolders::MakePrivate(dir.Path() + "\\\xEC\x83\x88 \xED\x8F\xB4\xEB\x8D\x94"));
  std::FILE* file = NativePath::Open(path, "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("m", file);
  std::fclose(file);
  EXPECT_EQ(std::filesystem::file_size(Wide(path)), 1u);
  const int fd = NativePath::OpenDescriptor(path, O_RDONLY);
  EXPECT_GE(fd, 0);
  if (fd >= 0) ::_close(fd);
  EXPECT_EQ(test::ReadFileBytes(path), "m");
}

TEST(WindowsExecutablePath, TheRunningProgramInUtf8) {
  wchar_t own[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, own, MAX_PATH);
  EXPECT_EQ(Wide(ExecutablePath::GetExecutablePath()), own);
  EXPECT_EQ(ExecutablePath::GetExecutableBaseName(), "veradex_core_tests");
  const std::string directory = ExecutablePath::GetExecutableDirectory();
  ASSERT_FALSE(directory.empty());
  EXPECT_EQ(directory.back(), '\\');
}

TEST(WindowsRootStore, TheSystemsAuthoritiesReachOpenSsl) {
  X509_STORE* store = X509_STORE_new();
  ASSERT_NE(store, nullptr);
  EXPECT_GT(WindowsRootStore::AddTo(store), 0);
  X509_STORE_free(store);
}

}  // namespace
}  // namespace veradex
