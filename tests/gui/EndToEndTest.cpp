// The installed program against the sandbox report centre, driven from
// outside only, as a new user would: real key presses and clicks on a private
// display with a tray host. What arrives is read from the centre's database.
#include <gtest/gtest.h>
#include <signal.h>
#include <wx/string.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "centre/ReportStore.h"
#include "platform/Cp949.h"
#include "profile/ConfigProfileStore.h"
#include "support/ChildProcess.h"
#include "support/DesktopDriver.h"
#include "support/TempDir.h"
#include "support/VirtualDisplay.h"

namespace veradex {
namespace {

namespace fs = std::filesystem;
using centre::ReportStore;
using centre::StoredReport;
using test::ChildProcess;
using test::DesktopDriver;
using test::VirtualDisplay;

std::string K(const std::string& utf8) { return Cp949::FromWxLossy(wxString::FromUTF8(utf8.c_str())); }

// Places in the report window (its client area is the whole window).
struct Point {
  int x, y;
};
constexpr Point kSettingsButton{678, 70};
constexpr Point kMailCategory{86, 141};
constexpr Point kPhoneCategory{86, 210};
constexpr Point kAddFile{643, 423};
constexpr Point kDescription{512, 292};
constexpr Point kSend{514, 500};
constexpr Point kPageBanner{459, 125};  // the top of a category page in the browser view
// Places in the settings dialog.
constexpr Point kNameEdit{229, 99};
constexpr Point kSaveButton{134, 327};

const char kMessageBoxTitle[] = ":: Veradex ::";

bool WaitUntil(const std::function<bool()>& condition, std::chrono::seconds timeout = std::chrono::seconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v xdotool >/dev/null && command -v Xvfb >/dev/null && command -v trayer >/dev/null") != 0)
      GTEST_SKIP() << "xdotool, Xvfb and trayer are needed (tools/install-deps.sh)";
    // The layout as installed, in a folder of its own.
    const auto installed = ChildProcess::Run(VERADEX_CMAKE, {"--install", VERADEX_BINARY_DIR, "--prefix", Prefix()}, {},
                                             std::chrono::seconds(120));
    ASSERT_EQ(installed.exitCode, 0) << installed.standardOutput << installed.standardError;
    ASSERT_TRUE(fs::is_symlink(Prefix() + "/bin/veradex"));
    EXPECT_EQ(fs::read_symlink(Prefix() + "/bin/veradex"), "../lib/veradex/veradex");
    for (const char* file :
         {"lib/veradex/PHONE_SPAM.bak", "lib/veradex/search.bak", "lib/veradex/veradex-centre",
          "share/applications/veradex.desktop", "share/metainfo/veradex.metainfo.xml",
          "share/icons/hicolor/256x256/apps/veradex.png", "share/icons/hicolor/scalable/apps/veradex.svg"})
      EXPECT_TRUE(fs::exists(Prefix() + "/" + file)) << file;

    // The sandbox centre says where it listens once it is ready.
    centre_ = std::make_unique<ChildProcess>(Prefix() + "/lib/veradex/veradex-centre",
                                             std::vector<std::string>{"--data", CentreFolder()},
                                             std::map<std::string, std::string>{});
    std::string line;
    ASSERT_TRUE(WaitUntil([&] {
      line = centre_->OutputSoFar();
      return line.find('\n') != std::string::npos || centre_->HasExited();
    })) << "the centre printed nothing";
    const std::regex ready("listening https://localhost:([0-9]+)/ data (.+) ca (.+)/ca\\.pem\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(line, match, ready)) << line;
    EXPECT_EQ(match[2].str(), fs::canonical(CentreFolder()).string());
    EXPECT_EQ(match[3].str(), match[2].str());

    // A fresh profile whose servers are the centre.
    ConfigProfileStore store("veradex", ProfileFolder());
    store.WriteProfileString("servers", "report", "localhost:" + match[1].str());
    store.WriteProfileString("servers", "version", "localhost:" + match[1].str());
    store.WriteProfileString("servers", "ca_file", match[2].str() + "/ca.pem");
    std::string error;
    ASSERT_TRUE(reports_.Open(CentreFolder(), &error)) << error;
  }

  void TearDown() override {
    if (!centre_) return;
    ::kill(centre_->Pid(), SIGTERM);
    const auto ended = centre_->Wait(std::chrono::seconds(20));
    EXPECT_EQ(ended.exitCode, 0) << ended.standardError;
  }

  std::string Prefix() const { return dir_.Path() + "/prefix"; }
  std::string CentreFolder() const { return dir_.Path() + "/centre"; }
  std::string ProfileFolder() const { return dir_.Path() + "/config/Ambrel"; }
  // A profile past its first start (no password set up) holding these personal values.
  void WritePersonalProfile(const std::map<std::string, std::string>& personal) const {
    ConfigProfileStore store("veradex", ProfileFolder());
    store.WriteProfileString("environments", "setup", "1");
    for (const auto& value : personal) store.WriteProfileString("Options", value.first, value.second);
  }
  // The report history: a run must not find the mails of an earlier one there.
  std::string DataFolder() const { return dir_.Path() + "/data"; }

  std::map<std::string, std::string> Environment(const VirtualDisplay& display) const {
    return {{"DISPLAY", display.Name()},
            {"XDG_CONFIG_HOME", dir_.Path() + "/config"},
            {"XDG_DATA_HOME", DataFolder()},
            {"VERADEX_AUTOSTART_DIR", dir_.Path() + "/autostart"},
            {"GSETTINGS_BACKEND", "memory"},
            {"NO_AT_BRIDGE", "1"},
            {"WEBKIT_DISABLE_COMPOSITING_MODE", "1"}};
  }

  void Picture(const DesktopDriver& desktop, const std::string& name) {
    const char* folder = std::getenv("VERADEX_SCREENSHOT_DIR");
    if (folder == nullptr || *folder == '\0') return;
    fs::create_directories(folder);
    EXPECT_TRUE(desktop.Screenshot(std::string(folder) + "/" + name + ".png"));
  }

  // The report window ("Dunmere", large).
  bool FindReportWindow(const DesktopDriver& desktop) {
    // The largest: the page inside it may bear the name too.
    int largest = 0;
    for (const std::string& id : desktop.FindWindows("Dunmere")) {
      int x = 0, y = 0, width = 0, height = 0;
      if (desktop.Geometry(id, &x, &y, &width, &height) && width > 400 && height > 400 && width * height > largest) {
        windowId_ = id;
        largest = width * height;
      }
    }
    return largest > 0;
  }
  // The window is placed after it is first shown: its place is read anew.
  bool ClickInWindow(const DesktopDriver& desktop, Point point) { return ClickIn(desktop, windowId_, point); }

  // Whether the screen is dark at a place of the report window: a category
  // page's banner is navy, a page still loading is blank.
  bool DarkAt(const DesktopDriver& desktop, Point point) {
    int x = 0, y = 0, width = 0, height = 0;
    if (!desktop.Geometry(windowId_, &x, &y, &width, &height)) return false;
    std::string pixel;
    const std::string command = "timeout 5 import -window root -crop 1x1+" + std::to_string(x + point.x) + "+" +
                                std::to_string(y + point.y) + " -depth 8 txt:-";
    if (!desktop.RunCommand(command, &pixel)) return false;
    const std::size_t hash = pixel.rfind('#');  // after the header comment
    if (hash == std::string::npos || hash + 7 > pixel.size() ||
        pixel.find_first_not_of("0123456789ABCDEFabcdef", hash + 1) < hash + 7)
      return false;
    const int red = std::stoi(pixel.substr(hash + 1, 2), nullptr, 16);
    const int green = std::stoi(pixel.substr(hash + 3, 2), nullptr, 16);
    const int blue = std::stoi(pixel.substr(hash + 5, 2), nullptr, 16);
    return red + green + blue < 384;
  }
  bool ClickIn(const DesktopDriver& desktop, const std::string& id, Point point) {
    int x = 0, y = 0, width = 0, height = 0;
    return desktop.Geometry(id, &x, &y, &width, &height) && desktop.Click(x + point.x, y + point.y);
  }

  // The file dialog: the program's large shown window without a title.
  std::string FileDialog(const DesktopDriver& desktop) {
    std::string tree;
    desktop.RunCommand("timeout 5 xwininfo -root -children", &tree);
    std::istringstream lines(tree);
    for (std::string entry; std::getline(lines, entry);) {
      if (entry.find("(has no name): (\"veradex\"") == std::string::npos) continue;
      static const std::regex sized("^\\s*(0x[0-9a-f]+) .* ([0-9]+)x[0-9]+\\+");
      std::smatch match;
      if (!std::regex_search(entry, match, sized) || std::stoi(match[2].str()) < 400) continue;
      const std::string id = match[1].str();
      std::string state;
      if (desktop.RunCommand("timeout 5 xwininfo -id " + id, &state) && state.find("IsViewable") != std::string::npos)
        return id;
    }
    return std::string();
  }

  // Chooses a file as a user does: the add button, the path typed into the
  // file dialog, Enter.
  void AttachThroughFileDialog(const DesktopDriver& desktop, const std::string& path) {
    ASSERT_TRUE(ClickInWindow(desktop, kAddFile));
    std::string dialog;
    ASSERT_TRUE(WaitUntil([&] { return !(dialog = FileDialog(desktop)).empty(); }))
        << "no file dialog" << (desktop.FindWindows(kMessageBoxTitle).empty() ? "" : " but a message");
    ASSERT_TRUE(desktop.Type(dialog, path));
    ASSERT_TRUE(desktop.PressKeys(dialog, {"Return"}));
    ASSERT_TRUE(WaitUntil([&] { return FileDialog(desktop).empty(); })) << "the file dialog stays";
  }

  // Exit from the tray menu (its last entry), answering Yes.
  void ExitFromTray(const DesktopDriver& desktop, ChildProcess& program) {
    int x = 0, y = 0, width = 0, height = 0;
    std::string icon;
    for (const std::string& id : desktop.FindWindowsOfProcess(program.Pid(), "veradex"))
      if (desktop.Geometry(id, &x, &y, &width, &height) && width <= 64 && height <= 64 && y <= 64) icon = id;
    ASSERT_FALSE(icon.empty()) << "no tray icon";
    const std::size_t before = desktop.FindWindows("veradex").size();
    ASSERT_TRUE(desktop.Click(x + width / 2, y + height / 2, 3));
    ASSERT_TRUE(WaitUntil([&] { return desktop.FindWindows("veradex").size() > before; })) << "no menu";
    ASSERT_TRUE(desktop.RunCommand("timeout 10 xdotool key --delay 50 Up Return"));
    const std::string question = desktop.WaitForWindow(kMessageBoxTitle);
    ASSERT_FALSE(question.empty()) << "no exit question";
    ASSERT_TRUE(desktop.PressKeys(question, {"Return"}));
    const auto result = program.Wait(std::chrono::seconds(20));
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
  }

  test::TempDir dir_;
  std::unique_ptr<ChildProcess> centre_;
  ReportStore reports_;
  std::string windowId_;
};

TEST_F(EndToEndTest, MailReportFromTheFirstStartToTheCentresDatabase) {
  VirtualDisplay display(true);
  ASSERT_TRUE(display.Ok()) << "no virtual display with a tray host";
  DesktopDriver desktop(display.Name());
  const std::string first = dir_.Write(
      "mails/first.eml", "From: Spammer <spam@example.net>\r\nSubject: =?UTF-8?B?7Iqk7Yy4?=\r\n\r\nBuy!\r\n");
  const std::string second = dir_.Write("mails/second.eml", "From: b@example.org\r\nSubject: Loans\r\n\r\nCheap.\r\n");
  ChildProcess program(Prefix() + "/bin/veradex", {}, Environment(display));

  // First start: the program password, typed twice.
  const std::string setup = desktop.WaitForWindow("암호설정");
  ASSERT_FALSE(setup.empty()) << "no set-up dialog: " << program.OutputSoFar();
  ASSERT_TRUE(desktop.Type(setup, "pw1"));
  ASSERT_TRUE(desktop.PressKeys(setup, {"Tab"}));
  ASSERT_TRUE(desktop.Type(setup, "pw1"));
  ASSERT_TRUE(desktop.PressKeys(setup, {"Return"}));
  ASSERT_TRUE(WaitUntil([&] { return FindReportWindow(desktop) || program.HasExited(); }) && !program.HasExited())
      << "no report window";
  EXPECT_TRUE(desktop.FindWindows(kMessageBoxTitle).empty()) << "a message at start (version check?)";

  // Personal data in the settings, behind the program password.
  ASSERT_TRUE(ClickInWindow(desktop, kSettingsButton));
  const std::string login = desktop.WaitForWindow("로그인");
  ASSERT_FALSE(login.empty()) << "no password asked before the settings";
  ASSERT_TRUE(desktop.Type(login, "pw1"));
  ASSERT_TRUE(desktop.PressKeys(login, {"Return"}));
  const std::string settings = desktop.WaitForWindow("개인정보 환경설정");
  ASSERT_FALSE(settings.empty()) << "no settings";
  ASSERT_TRUE(ClickIn(desktop, settings, kNameEdit));
  // Name, e-mail, telephone in three parts, mobile in three parts, then the
  // carrier list and the report password.
  const std::vector<std::string> typed = {"홍길동", "hong@example.com", "02", "123", "4567", "010", "1234", "5678"};
  for (const std::string& text : typed) {
    ASSERT_TRUE(desktop.Type(settings, text));
    ASSERT_TRUE(desktop.PressKeys(settings, {"Tab"}));
  }
  ASSERT_TRUE(desktop.PressKeys(settings, {"Tab"}));
  ASSERT_TRUE(desktop.Type(settings, "rp77"));
  Picture(desktop, "end-to-end-settings");
  ASSERT_TRUE(ClickIn(desktop, settings, kSaveButton));
  ASSERT_TRUE(desktop.WaitUntilGone("개인정보 환경설정"));
  {
    const ConfigProfileStore store("veradex", ProfileFolder());
    EXPECT_EQ(store.GetProfileString("Options", "Name"), K("홍길동"));
    EXPECT_EQ(store.GetProfileString("Options", "MTel3"), "5678");
    EXPECT_EQ(store.GetProfileString("Options", "singo_pw"), "rp77");
  }

  // Two mails through the file dialog, a description of two lines, send.
  ASSERT_TRUE(ClickInWindow(desktop, kMailCategory));
  AttachThroughFileDialog(desktop, first);
  AttachThroughFileDialog(desktop, second);
  ASSERT_TRUE(ClickInWindow(desktop, kDescription));
  ASSERT_TRUE(desktop.Type(windowId_, "first line"));
  ASSERT_TRUE(desktop.PressKeys(windowId_, {"Return"}));
  ASSERT_TRUE(desktop.Type(windowId_, "둘째 줄"));
  Picture(desktop, "end-to-end-before-send");
  ASSERT_TRUE(ClickInWindow(desktop, kSend));
  const std::string verdict = desktop.WaitForWindow(kMessageBoxTitle);
  ASSERT_FALSE(verdict.empty()) << "no message after sending";
  Picture(desktop, "end-to-end-received");
  ASSERT_TRUE(desktop.PressKeys(verdict, {"Return"}));
  EXPECT_TRUE(desktop.WaitUntilGone(kMessageBoxTitle));

  // Two reports, each naming its own uploaded file, byte for byte.
  const auto received = reports_.List();
  ASSERT_EQ(received.size(), 2u);
  const std::regex serverName("SPM_[0-9]{4}_[0-9]{2}_[0-9A-F]{2,}\\.eml");
  for (std::size_t i = 0; i < received.size(); ++i) {
    const StoredReport& report = received[i];
    SCOPED_TRACE(report.id);
    EXPECT_EQ(report.kind, "email");
    EXPECT_EQ(report.verdict, ReportStore::kReceived);
    EXPECT_EQ(report.name, K("홍길동"));
    EXPECT_EQ(report.email, "hong@example.com");
    EXPECT_EQ(report.tel, "02-123-4567");
    EXPECT_EQ(report.content, "first line\r\n" + K("둘째 줄"));
    EXPECT_EQ(report.password, "rp77");
    EXPECT_TRUE(std::regex_match(report.fileName, serverName)) << report.fileName;
    // Newest first: the second mail was sent last.
    EXPECT_EQ(test::ReadFileBytes(CentreFolder() + "/" + report.storedFile),
              test::ReadFileBytes(i == 0 ? second : first));
  }
  EXPECT_NE(received[0].fileName, received[1].fileName);
  EXPECT_TRUE(fs::exists(DataFolder() + "/Ambrel/veradex/history.sqlite")) << "the history is kept elsewhere";

  ExitFromTray(desktop, program);
}

// A whole mail report without the pointer: keys only, each typed into the
// window that has come up (as a desktop hands it the keyboard). The pointer
// rests over the page, which is another process's window: the keys still
// reach the report window's focused control.
TEST_F(EndToEndTest, MailReportByKeyboardOnly) {
  VirtualDisplay display(true);
  ASSERT_TRUE(display.Ok()) << "no virtual display with a tray host";
  DesktopDriver desktop(display.Name());
  WritePersonalProfile({{"Name", K("홍길동")},
                        {"EMail", "hong@example.com"},
                        {"Tel1", "02"},
                        {"Tel2", "123"},
                        {"Tel3", "4567"},
                        {"singo_pw", "rp77"}});
  const std::string mail =
      dir_.Write("mails/keys.eml", "From: Spammer <spam@example.net>\r\nSubject: Loans\r\n\r\nCheap.\r\n");
  ChildProcess program(Prefix() + "/bin/veradex", {}, Environment(display));
  ASSERT_TRUE(WaitUntil([&] { return FindReportWindow(desktop) || program.HasExited(); }) && !program.HasExited())
      << "no report window";
  // The window opens on the telephone page with its category button focused;
  // the mail category is the one above it.
  // The start page's first completion brings the telephone page; only then.
  WaitUntil([&] { return DarkAt(desktop, kPageBanner); });
  int x = 0, y = 0, width = 0, height = 0;
  ASSERT_TRUE(desktop.Geometry(windowId_, &x, &y, &width, &height));
  ASSERT_TRUE(desktop.RunCommand("timeout 10 xdotool mousemove " + std::to_string(x + kPageBanner.x) + " " +
                                 std::to_string(y + kPageBanner.y + 80)));
  ASSERT_TRUE(desktop.PressKeys(windowId_, {"shift+Tab", "space"}));
  Picture(desktop, "end-to-end-keyboard-mail-view");
  // The form: the first field has the focus; the personal data is filled in.
  // Seven Tabs lead to the description past the passwords, typed again.
  ASSERT_TRUE(desktop.PressKeys(windowId_, {"Tab", "Tab", "Tab", "Tab", "Tab"}));
  ASSERT_TRUE(desktop.Type(windowId_, "rp77"));
  ASSERT_TRUE(desktop.PressKeys(windowId_, {"Tab"}));
  ASSERT_TRUE(desktop.Type(windowId_, "rp77"));
  ASSERT_TRUE(desktop.PressKeys(windowId_, {"Tab"}));
  ASSERT_TRUE(desktop.Type(windowId_, "keyboard only"));
  // The list, capture, add: Enter opens the file dialog.
  ASSERT_TRUE(desktop.PressKeys(windowId_, {"Tab", "Tab", "Tab", "Return"}));
  std::string dialog;
  ASSERT_TRUE(WaitUntil([&] { return !(dialog = FileDialog(desktop)).empty(); })) << "no file dialog";
  ASSERT_TRUE(desktop.Type(dialog, mail));
  ASSERT_TRUE(desktop.PressKeys(dialog, {"Return"}));
  ASSERT_TRUE(WaitUntil([&] { return FileDialog(desktop).empty(); })) << "the file dialog stays";
  // Back on the add button: delete, send.
  Picture(desktop, "end-to-end-keyboard-before-send");
  ASSERT_TRUE(desktop.PressKeys(windowId_, {"Tab", "Tab", "Return"}));
  const std::string verdict = desktop.WaitForWindow(kMessageBoxTitle);
  ASSERT_FALSE(verdict.empty()) << "no answer after sending";
  ASSERT_TRUE(desktop.PressKeys(verdict, {"Return"}));
  EXPECT_TRUE(desktop.WaitUntilGone(kMessageBoxTitle));

  const auto received = reports_.List();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].kind, "email");
  EXPECT_EQ(received[0].verdict, ReportStore::kReceived);
  EXPECT_EQ(received[0].name, K("홍길동"));
  EXPECT_EQ(received[0].password, "rp77");
  EXPECT_EQ(received[0].content, "keyboard only");
  EXPECT_EQ(test::ReadFileBytes(CentreFolder() + "/" + received[0].storedFile), test::ReadFileBytes(mail));

  ExitFromTray(desktop, program);
}

TEST_F(EndToEndTest, TelephoneSpamPageReachesTheCentre) {
  VirtualDisplay display(true);
  ASSERT_TRUE(display.Ok()) << "no virtual display with a tray host";
  DesktopDriver desktop(display.Name());
  WritePersonalProfile({{"Name", K("홍길동")},
                        {"EMail", "hong@example.com"},
                        {"Tel1", "02"},
                        {"Tel2", "123"},
                        {"Tel3", "4567"},
                        {"MTel1", "010"},
                        {"MTel2", "1234"},
                        {"MTel3", "5678"},
                        {"McomTel", "KT"},
                        {"singo_pw", "rp77"}});
  ChildProcess program(Prefix() + "/bin/veradex", {}, Environment(display));
  ASSERT_TRUE(WaitUntil([&] { return FindReportWindow(desktop) || program.HasExited(); }) && !program.HasExited())
      << "no report window";

  // The page of the telephone category, filled in and sent from the
  // keyboard: the number first, four fields on the description, back to the
  // number and Enter. The page loads on its own time, so a try that sent
  // nothing is made again.
  const auto phoneReports = [&] {
    std::vector<StoredReport> found;
    for (const auto& report : reports_.List())
      if (report.kind == "phone") found.push_back(report);
    return found;
  };
  for (int attempt = 0; attempt < 3 && phoneReports().empty(); ++attempt) {
    ASSERT_TRUE(ClickInWindow(desktop, kPhoneCategory));
    // Typing goes nowhere until the page is there.
    WaitUntil([&] { return DarkAt(desktop, kPageBanner); });
    ASSERT_TRUE(ClickInWindow(desktop, kPageBanner));
    ASSERT_TRUE(desktop.PressKeys(windowId_, {"Tab"}));
    ASSERT_TRUE(desktop.Type(windowId_, "060-123-4567"));
    ASSERT_TRUE(desktop.PressKeys(windowId_, {"Tab", "Tab", "Tab", "Tab"}));
    ASSERT_TRUE(desktop.Type(windowId_, "대출 광고"));
    ASSERT_TRUE(desktop.PressKeys(windowId_, {"shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab"}));
    if (attempt == 0) Picture(desktop, "end-to-end-phone-page");
    ASSERT_TRUE(desktop.PressKeys(windowId_, {"Return"}));
    WaitUntil([&] { return !phoneReports().empty(); }, std::chrono::seconds(10));
  }
  const auto found = phoneReports();
  ASSERT_EQ(found.size(), 1u);
  const StoredReport& report = found[0];
  EXPECT_EQ(report.verdict, ReportStore::kReceived);
  EXPECT_EQ(report.name, K("홍길동"));
  EXPECT_EQ(report.tel, "02-123-4567");
  EXPECT_EQ(report.mobile, "010-1234-5678");
  EXPECT_EQ(report.password, "rp77");
  EXPECT_EQ(report.content, K("대출 광고"));
  std::map<std::string, std::string> fields(report.fields.begin(), report.fields.end());
  EXPECT_EQ(fields["spam_tel"], "060-123-4567");
  EXPECT_EQ(fields["mcomtel"], "KT");
  EXPECT_EQ(fields["email"], "hong@example.com");

  ExitFromTray(desktop, program);
}

}  // namespace
}  // namespace veradex
