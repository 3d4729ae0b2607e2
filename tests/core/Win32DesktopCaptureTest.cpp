// The capture of a mail client's message on Windows, through the system's
// windows: our own test mail client (veradex_test_mailclient, beside this
// program) shows the main window and the save dialog of Outlook Express or
// Thunderbird, and the capture drives it with Win32Desktop. Needs a display
// (under Wine: an X server), so it is labelled "wine-display".
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/Cp949.h"
#include "platform/ExecutablePath.h"
#include "platform/NativePath.h"
#include "platform/Win32Desktop.h"
#include "report/MailClientCapture.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

std::wstring Wide(const std::string& utf8) { return NativePath::ToFs(utf8).wstring(); }

class RecordingHost : public MailClientCapture::Host {
 public:
  int AttachmentCount() override { return 0; }
  void SaveFields() override {}
  void LoadFields() override {}
  void AddFile(const std::string& path) override { added.push_back(path); }
  std::vector<std::string> added;
};

// One running test mail client, ended with the object.
class TestClient {
 public:
  TestClient(const std::string& client, const std::string& field, const std::string& mailFile) {
    const std::wstring program = Wide(ExecutablePath::GetExecutableDirectory()) + L"veradex_test_mailclient.exe";
    std::wstring line = L"\"" + program + L"\" --client " + Wide(client) + L" --field " + Wide(field) +
                        L" --name \"\xAD11\xACE0 \xBA54\xC77C.eml\" --mail \"" + Wide(mailFile) +
                        L"\"";  // 광고 메일.eml
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    started_ = CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process_) != 0;
  }
  ~TestClient() {
    if (!started_) return;
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;
  bool Started() const { return started_; }

 private:
  bool started_ = false;
  PROCESS_INFORMATION process_ = {};
};

bool WaitForWindow(Win32Desktop& desktop, MailClientWindow which) {
  const long long deadline = desktop.NowMilliseconds() + 20000;
  while (desktop.FindTopLevel(which) == 0) {
    if (desktop.NowMilliseconds() > deadline) return false;
    desktop.Pause(20);
  }
  return true;
}

TEST(Win32DesktopCapture, TheRunningClientsSaveDialogIsDrivenAndItsFileAttached) {
  const struct {
    const char* name;
    const char* outlookField;  // nullptr: no Outlook Express running
    const char* thunderbird;   // nullptr, "thunderbird" or "thunderbird-old"
    const char* thunderbirdField;
    const char* savedBy;  // nullptr: the failure message
  } cases[] = {
      {"Outlook Express, name field in a ComboBoxEx32", "combo", nullptr, nullptr, "outlook"},
      {"Outlook Express, plain edit", "edit", nullptr, nullptr, "outlook"},
      {"current Thunderbird (MozillaWindowClass)", nullptr, "thunderbird", "combo", "thunderbird"},
      {"old Thunderbird (MozillaUIWindowClass), plain edit", nullptr, "thunderbird-old", "edit", "thunderbird"},
      {"both running: Outlook Express", "combo", "thunderbird", "combo", "outlook"},
      {"neither running", nullptr, nullptr, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    std::filesystem::create_directory(NativePath::ToFs(dir.File("temp")));
    // Each client writes a mail of its own, so the file tells who saved it.
    const std::string outlookMail = "From: a@example.com\r\nSubject: =?EUC-KR?B?sfqw7SA=?=\r\n\r\noutlook \xB1\xA4\r\n";
    const std::string thunderbirdMail = "From: b@example.com\r\n\r\nthunderbird\r\n.\r\n";
    const std::string outlookFile = dir.Write("outlook.src", outlookMail);
    const std::string thunderbirdFile = dir.Write("thunderbird.src", thunderbirdMail);
    Win32Desktop desktop;
    std::vector<std::unique_ptr<TestClient>> clients;
    if (c.outlookField != nullptr) {
      clients.push_back(std::make_unique<TestClient>("outlook", c.outlookField, outlookFile));
      ASSERT_TRUE(clients.back()->Started());
      ASSERT_TRUE(WaitForWindow(desktop, kOutlookExpressMain));
    }
    if (c.thunderbird != nullptr) {
      clients.push_back(std::make_unique<TestClient>(c.thunderbird, c.thunderbirdField, thunderbirdFile));
      ASSERT_TRUE(clients.back()->Started());
      ASSERT_TRUE(WaitForWindow(desktop, kThunderbirdMain));
    }

    test::RecordingMessageSink sink;
    test::ScopedMessageSink scoped(&sink);
    RecordingHost host;
    MailClientCapture capture(desktop, "help@dunmere.example");
    capture.OnCapture(host, dir.Path() + NativePath::kSeparator);

    if (c.savedBy == nullptr) {
      EXPECT_EQ(sink.Texts(), std::vector<std::string>{capture.FailureText()});
      EXPECT_TRUE(host.added.empty());
      continue;
    }
    EXPECT_TRUE(sink.Texts().empty());
    ASSERT_EQ(host.added.size(), 1u);
    // The proposed name, four hexadecimal digits, ".eml", in the temp folder.
    const std::string folder = dir.File("temp") + NativePath::kSeparator;
    const std::string& path = host.added[0];
    ASSERT_EQ(path.compare(0, folder.size(), folder), 0) << path;
    const std::string name = path.substr(folder.size());
    const std::string proposed = "\xEA\xB4\x91\xEA\xB3\xA0 \xEB\xA9\x94\xEC\x9D\xBC.eml";  // 광고 메일.eml
    ASSERT_EQ(name.size(), proposed.size() + 8) << name;
    EXPECT_EQ(name.substr(0, proposed.size()), proposed);
    EXPECT_EQ(name.find_first_not_of("0123456789ABCDEF", proposed.size()), proposed.size() + 4) << name;
    EXPECT_EQ(name.substr(proposed.size() + 4), ".eml");
    EXPECT_EQ(test::ReadFileBytes(path), std::string(c.savedBy) == "outlook" ? outlookMail : thunderbirdMail);
    // The dialog is gone: nothing is left open in the user's client.
    EXPECT_EQ(desktop.FindTopLevel(kOutlookExpressSaveDialog), 0u);
    EXPECT_EQ(desktop.FindTopLevel(kThunderbirdSaveDialog), 0u);
  }
}

}  // namespace
}  // namespace veradex
