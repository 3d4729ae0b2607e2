// Starts the built program as separate processes, the way a user does, each
// test on its own virtual display, and acts on its windows with real key
// presses and clicks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <wx/string.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <thread>

#include "gui/GuiTestSupport.h"
#include "platform/Cp949.h"
#include "platform/SingleInstanceGuard.h"
#include "profile/ConfigProfileStore.h"
#include "support/ChildProcess.h"
#include "support/DesktopDriver.h"
#include "support/ReportCentreHarness.h"
#include "support/TempDir.h"
#include "support/VirtualDisplay.h"

namespace veradex {
namespace {

namespace fs = std::filesystem;
using test::ChildProcess;
using test::DesktopDriver;
using test::ReadFileBytes;
using test::VirtualDisplay;

std::string K(const std::string& utf8) { return Cp949::FromWxLossy(wxString::FromUTF8(utf8.c_str())); }

const char kMessageBoxTitle[] = ":: Veradex ::";

class ProgramStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v xdotool >/dev/null && command -v Xvfb >/dev/null && command -v trayer >/dev/null") != 0)
      GTEST_SKIP() << "xdotool, Xvfb and trayer are needed (tools/install-deps.sh)";
    fs::create_directories(AutostartFolder());
    // The version check at start asks the test report centre, which
    // publishes the program's own version.
    ConfigProfileStore store("veradex", ProfileFolder());
    store.WriteProfileString("servers", "version", centre.Centre().Address().HostPort());
    store.WriteProfileString("servers", "report", centre.Centre().Address().HostPort());
    store.WriteProfileString("servers", "ca_file", centre.CaFile());
  }

  // A failed toolkit assertion is logged there instead of shown: none may happen.
  void TearDown() override {
    const std::string log = StateHome() + "/Ambrel/veradex/veradex.log";
    EXPECT_FALSE(fs::exists(log)) << ReadFileBytes(log);
  }

  std::string ConfigHome() const { return dir.Path() + "/config"; }
  std::string StateHome() const { return dir.Path() + "/state"; }
  std::string ProfileFolder() const { return ConfigHome() + "/Ambrel"; }
  std::string AutostartFolder() const { return dir.Path() + "/autostart"; }
  std::string EntryPath() const { return AutostartFolder() + "/Veradex.desktop"; }

  // A copy of the program with what ships beside it, installed in folder.
  std::string Install(const std::string& folder) {
    const fs::path target = fs::path(dir.Path()) / folder;
    fs::create_directories(target);
    const fs::path built = fs::path(VERADEX_EXECUTABLE);
    for (const auto& entry : fs::directory_iterator(built.parent_path())) {
      // The page templates and the web engine module live beside the program.
      if (entry.path().extension() == ".bak" || entry.path().stem() == "veradex-webengine" ||
          entry.path().filename() == "veradex-browser")
        fs::copy_file(entry.path(), target / entry.path().filename(), fs::copy_options::overwrite_existing);
    }
    fs::copy_file(built, target / "veradex", fs::copy_options::overwrite_existing);
    fs::permissions(target / "veradex", fs::perms::owner_all);
    return (target / "veradex").string();
  }

  std::map<std::string, std::string> Environment(const VirtualDisplay& display) const {
    return {{"DISPLAY", display.Name()},
            {"XDG_CONFIG_HOME", ConfigHome()},
            {"XDG_STATE_HOME", StateHome()},
            {"XDG_DATA_HOME", dir.Path() + "/data"},
            {"VERADEX_AUTOSTART_DIR", AutostartFolder()},
            {"GSETTINGS_BACKEND", "memory"},
            {"NO_AT_BRIDGE", "1"},
            {"WEBKIT_DISABLE_COMPOSITING_MODE", "1"}};
  }

  void Preset(const std::string& entry, const std::string& value) {
    ConfigProfileStore("veradex", ProfileFolder()).WriteProfileString("environments", entry, value);
  }
  std::string ProfileValue(const std::string& entry) {
    return ConfigProfileStore("veradex", ProfileFolder()).GetProfileString("environments", entry, "<missing>");
  }

  // True while some process holds the user's marker. Read from the
  // kernel's lock table: taking the lock to find out, even for a moment,
  // would make a copy starting at that moment believe it is the second one.
  bool MarkerHeld() {
    struct stat file {};
    const std::string path =
        ProfileFolder() + "/" + SingleInstanceGuard::LockFileName(SingleInstanceGuard::kMarkerName);
    if (::stat(path.c_str(), &file) != 0) return false;
    std::ifstream locks("/proc/locks");
    const std::string inode = ":" + std::to_string(file.st_ino) + " ";
    for (std::string line; std::getline(locks, line);)
      if (line.find("FLOCK") != std::string::npos && line.find(inode) != std::string::npos) return true;
    return false;
  }
  bool WaitForMarker(ChildProcess& program) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!MarkerHeld()) {
      if (program.HasExited() || std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }

  // Polls a condition on files or other processes (no event loop involved).
  static bool WaitUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }

  // Pictures for review go to $VERADEX_SCREENSHOT_DIR when it is set.
  void Picture(const DesktopDriver& desktop, const std::string& name) {
    const std::string folder = test::ScreenshotFolder();
    if (folder.empty()) return;
    fs::create_directories(folder);
    EXPECT_TRUE(desktop.Screenshot(folder + "/" + name + ".png"));
  }

  // The second copy's message, dismissed with Enter as a user would.
  void ExpectSecondCopyRefused(const VirtualDisplay& display, const std::string& program, bool picture) {
    DesktopDriver desktop(display.Name());
    ChildProcess second(program, {}, Environment(display));
    const std::string box = desktop.WaitForWindow(kMessageBoxTitle);
    ASSERT_FALSE(box.empty()) << "the second copy shows no message";
    if (picture) Picture(desktop, "second-copy-refused");
    EXPECT_FALSE(second.HasExited());  // waits for the user
    EXPECT_TRUE(desktop.PressKeys(box, {"Return"}));
    const auto result = second.Wait(std::chrono::seconds(20));
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
  }

  // The program's icon in the tray host's panel (a small window of the
  // process at the top of the screen): its centre, once it is there.
  bool FindIcon(const DesktopDriver& desktop, ChildProcess& program, int* x, int* y) {
    for (const std::string& id : desktop.FindWindowsOfProcess(program.Pid(), "veradex")) {
      int left = 0, top = 0, width = 0, height = 0;
      if (!desktop.Geometry(id, &left, &top, &width, &height)) continue;
      if (width > 64 || height > 64 || top > 64) continue;
      *x = left + width / 2;
      *y = top + height / 2;
      return true;
    }
    return false;
  }
  // The report window: the large shown window of the process.
  std::string FindReportWindow(const DesktopDriver& desktop, ChildProcess& program) {
    for (const std::string& id : desktop.FindWindowsOfProcess(program.Pid(), "veradex")) {
      int left = 0, top = 0, width = 0, height = 0;
      if (desktop.Geometry(id, &left, &top, &width, &height) && width > 400 && height > 400) return id;
    }
    return std::string();
  }
  bool WaitForIcon(const DesktopDriver& desktop, ChildProcess& program, int* x, int* y) {
    return WaitUntil([&] { return FindIcon(desktop, program, x, y) || program.HasExited(); }) && !program.HasExited();
  }

  // Right click on the icon, then the entry `downs` steps from the top
  // (separators are skipped), or the last entry for 0.
  void ChooseFromTrayMenu(const DesktopDriver& desktop, int x, int y, int downs, const char* picture = nullptr) {
    // The menu is one more shown top-level window with the program's name.
    const std::size_t before = desktop.FindWindows("veradex").size();
    ASSERT_TRUE(desktop.Click(x, y, 3));
    ASSERT_TRUE(WaitUntil([&] { return desktop.FindWindows("veradex").size() > before; })) << "no menu";
    if (picture != nullptr) Picture(desktop, picture);
    std::string keys = downs == 0 ? std::string(" Up") : std::string();
    for (int i = 0; i < downs; ++i) keys += " Down";
    ASSERT_TRUE(desktop.RunCommand("timeout 10 xdotool key --delay 50" + keys + " Return"));
  }

  // Answers the exit question with Yes and waits for the end.
  void ExitFromTray(const DesktopDriver& desktop, ChildProcess& program, int x, int y) {
    ChooseFromTrayMenu(desktop, x, y, 0);
    const std::string question = desktop.WaitForWindow(kMessageBoxTitle);
    ASSERT_FALSE(question.empty()) << "no exit question";
    EXPECT_TRUE(desktop.PressKeys(question, {"Return"}));
    const auto result = program.Wait(std::chrono::seconds(20));
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
  }

  test::TempDir dir;
  test::ReportCentreHarness centre;
};

TEST_F(ProgramStartTest, SecondCopyIsRefusedBeforeTouchingProfileOrAutostart) {
  VirtualDisplay display;
  ASSERT_TRUE(display.Ok());
  Preset("run_at_sysstart", "1");
  const std::string profileBefore = ReadFileBytes(ProfileFolder() + "/veradex.conf");
  const std::string program = Install("install");
  {
    // This test process holds the user's marker, as a running copy does.
    SingleInstanceGuard runningCopy(SingleInstanceGuard::kMarkerName, ProfileFolder());
    ASSERT_TRUE(runningCopy.Acquire());
    ExpectSecondCopyRefused(display, program, true);
    EXPECT_EQ(ReadFileBytes(ProfileFolder() + "/veradex.conf"), profileBefore);
    EXPECT_FALSE(fs::exists(EntryPath()));
    EXPECT_FALSE(fs::exists(ConfigHome() + "/autostart"));  // nor the user's own entry
  }
  // Without a display the program says so on standard error.
  const auto headless = ChildProcess::Run(program, {},
                                          {{"DISPLAY", ""},
                                           {"XDG_CONFIG_HOME", ConfigHome()},
                                           {"XDG_DATA_HOME", dir.Path() + "/data"},
                                           {"VERADEX_AUTOSTART_DIR", AutostartFolder()}});
  EXPECT_NE(headless.exitCode, 0);
  EXPECT_NE(headless.standardError.find("화면을 열 수 없어"), std::string::npos) << headless.standardError;
}

TEST_F(ProgramStartTest, TwoRealCopiesThenExitFromTheTrayMenu) {
  VirtualDisplay display(true);
  ASSERT_TRUE(display.Ok()) << "no virtual display with a tray host";
  DesktopDriver desktop(display.Name());
  Preset("setup", "1");  // set up before; no password asked at start
  Preset("run_at_sysstart", "1");
  const std::string program = Install("설치 폴더");

  ChildProcess first(program, {}, Environment(display));
  if (!WaitForMarker(first)) {
    Picture(desktop, "two-copies-no-start");
    const bool exited = first.HasExited();
    FAIL() << "the first copy did not start (" << (exited ? "ended" : "still running")
           << "): " << first.Wait(std::chrono::seconds(1)).standardError;
  }
  // Every start records where the program is and points the autostart entry there.
  EXPECT_TRUE(WaitUntil([&] { return fs::exists(EntryPath()); }));
  EXPECT_EQ(ProfileValue("ProPathName"), K(fs::path(program).parent_path().string() + "/"));
  EXPECT_NE(ReadFileBytes(EntryPath()).find("\nExec=\"" + program + "\"\n"), std::string::npos);

  // The icon sits in the notification area, at the top right.
  int x = 0, y = 0;
  ASSERT_TRUE(WaitForIcon(desktop, first, &x, &y)) << "no tray icon";
  EXPECT_GT(x, 1000);
  EXPECT_LT(y, 40);

  // A second copy is refused while the first runs; the first goes on.
  ExpectSecondCopyRefused(display, program, false);
  EXPECT_FALSE(first.HasExited());

  // Right click: the menu at the cursor; its last entry is "종료". Escape
  // answers No: everything keeps running.
  ChooseFromTrayMenu(desktop, x, y, 0, "tray-menu");
  const std::string question = desktop.WaitForWindow(kMessageBoxTitle);
  ASSERT_FALSE(question.empty()) << "no exit question";
  Picture(desktop, "exit-question");
  EXPECT_TRUE(desktop.PressKeys(question, {"Escape"}));
  EXPECT_TRUE(desktop.WaitUntilGone(kMessageBoxTitle));
  EXPECT_FALSE(first.HasExited());
  EXPECT_TRUE(MarkerHeld());

  // Yes ends the program with exit code 0; its icon and marker go.
  ExitFromTray(desktop, first, x, y);
  int gone = 0;
  EXPECT_FALSE(FindIcon(desktop, first, &gone, &gone));
  EXPECT_FALSE(MarkerHeld());

  // Preference off: the next start removes the entry.
  Preset("run_at_sysstart", "");
  ChildProcess again(program, {}, Environment(display));
  ASSERT_TRUE(WaitForMarker(again)) << again.Wait(std::chrono::seconds(1)).standardError;
  EXPECT_TRUE(WaitUntil([&] { return !fs::exists(EntryPath()); }));
}

TEST_F(ProgramStartTest, FirstRunSetUpThenPasswordBeforeSettingsAndAtStart) {
  VirtualDisplay display(true);
  ASSERT_TRUE(display.Ok()) << "no virtual display with a tray host";
  DesktopDriver desktop(display.Name());
  const std::string program = Install("install");
  const char kSetupTitle[] = "암호설정";
  const char kLoginTitle[] = "로그인";
  const char kSettingsTitle[] = "개인정보 환경설정";

  // First run: the set-up dialog; its Cancel button ends the program and
  // leaves no mark, so the next start asks again.
  {
    ChildProcess run(program, {}, Environment(display));
    const std::string setup = desktop.WaitForWindow(kSetupTitle);
    ASSERT_FALSE(setup.empty()) << "no set-up dialog";
    Picture(desktop, "setup-dialog");
    int left = 0, top = 0, width = 0, height = 0;
    ASSERT_TRUE(desktop.Geometry(setup, &left, &top, &width, &height));
    ASSERT_TRUE(desktop.Click(left + width * 136 / 224, top + height * 173 / 205));  // "취소"
    const auto result = run.Wait(std::chrono::seconds(20));
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(ProfileValue("setup"), "<missing>");
    EXPECT_EQ(ProfileValue("PW"), "<missing>");
  }

  // Set up: the password typed twice. No password is asked on this run.
  ChildProcess first(program, {}, Environment(display));
  std::string setup = desktop.WaitForWindow(kSetupTitle);
  ASSERT_FALSE(setup.empty());
  ASSERT_TRUE(desktop.Type(setup, "pw1"));
  ASSERT_TRUE(desktop.PressKeys(setup, {"Tab"}));
  ASSERT_TRUE(desktop.Type(setup, "pw1"));
  ASSERT_TRUE(desktop.PressKeys(setup, {"Return"}));
  int x = 0, y = 0;
  ASSERT_TRUE(WaitForIcon(desktop, first, &x, &y)) << "no tray icon after the set-up";
  EXPECT_EQ(ProfileValue("setup"), "1");
  EXPECT_EQ(ProfileValue("PW"), "pw1");
  EXPECT_TRUE(desktop.FindWindows(kLoginTitle).empty());

  // "프로그램 관리" asks for the password although use_pw is off; a wrong
  // one is refused with the message and nothing opens.
  ChooseFromTrayMenu(desktop, x, y, 5);
  std::string login = desktop.WaitForWindow(kLoginTitle);
  ASSERT_FALSE(login.empty()) << "no password asked before the settings";
  Picture(desktop, "login-before-settings");
  ASSERT_TRUE(desktop.Type(login, "nope"));
  ASSERT_TRUE(desktop.PressKeys(login, {"Return"}));
  std::string failed = desktop.WaitForWindow(kMessageBoxTitle);
  ASSERT_FALSE(failed.empty()) << "no failure message";
  Picture(desktop, "authentication-failed");
  ASSERT_TRUE(desktop.PressKeys(failed, {"Return"}));
  EXPECT_TRUE(desktop.WaitUntilGone(kMessageBoxTitle));
  EXPECT_TRUE(desktop.FindWindows(kSettingsTitle).empty());
  EXPECT_TRUE(desktop.FindWindows(kLoginTitle).empty());  // no second try within the command

  // Again, with the right password: the settings dialog.
  ChooseFromTrayMenu(desktop, x, y, 5);
  login = desktop.WaitForWindow(kLoginTitle);
  ASSERT_FALSE(login.empty());
  ASSERT_TRUE(desktop.Type(login, "pw1"));
  ASSERT_TRUE(desktop.PressKeys(login, {"Return"}));
  ASSERT_FALSE(desktop.WaitForWindow(kSettingsTitle).empty()) << "the settings did not open";
  Picture(desktop, "settings-program-management");
  ExitFromTray(desktop, first, x, y);

  // With the start-up check on: the login at start, as often as needed.
  Preset("use_pw", "1");
  ChildProcess second(program, {}, Environment(display));
  login = desktop.WaitForWindow(kLoginTitle);
  ASSERT_FALSE(login.empty()) << "no login at start";
  Picture(desktop, "login-at-start");
  for (int attempt = 0; attempt < 2; ++attempt) {
    ASSERT_TRUE(desktop.PressKeys(login, {"ctrl+a", "BackSpace"}));
    ASSERT_TRUE(desktop.Type(login, "wrong"));
    ASSERT_TRUE(desktop.PressKeys(login, {"Return"}));
    failed = desktop.WaitForWindow(kMessageBoxTitle);
    ASSERT_FALSE(failed.empty()) << "no failure message at attempt " << attempt;
    ASSERT_TRUE(desktop.PressKeys(failed, {"Return"}));
    login = desktop.WaitForWindow(kLoginTitle);
    ASSERT_FALSE(login.empty()) << "the login was not asked again";
  }
  EXPECT_FALSE(second.HasExited());
  ASSERT_TRUE(desktop.PressKeys(login, {"ctrl+a", "BackSpace"}));
  ASSERT_TRUE(desktop.Type(login, "pw1"));
  ASSERT_TRUE(desktop.PressKeys(login, {"Return"}));
  ASSERT_TRUE(WaitForIcon(desktop, second, &x, &y)) << "no tray icon after the login";
  ExitFromTray(desktop, second, x, y);
}

TEST_F(ProgramStartTest, HiddenStartLeavesOnlyTheIconAndExitEmptiesTheTempFolder) {
  VirtualDisplay display(true);
  ASSERT_TRUE(display.Ok()) << "no virtual display with a tray host";
  DesktopDriver desktop(display.Name());
  Preset("setup", "1");
  Preset("hide_at_run", "1");
  const std::string program = Install("install");
  const fs::path temp = fs::path(program).parent_path() / "temp";
  fs::create_directories(temp / "kept");
  dir.Write("install/temp/captured0a1b.eml", "mail");
  dir.Write("install/temp/kept/inner.eml", "inner");

  ChildProcess run(program, {}, Environment(display));
  int x = 0, y = 0;
  ASSERT_TRUE(WaitForIcon(desktop, run, &x, &y)) << "no tray icon";
  EXPECT_EQ(FindReportWindow(desktop, run), "");
  Picture(desktop, "hidden-start");
  // At rest in the tray the program holds no web engine: its libraries are
  // not mapped, and no browser process runs.
  auto engineMapped = [&] {
    std::ifstream maps("/proc/" + std::to_string(run.Pid()) + "/maps");
    const std::string text((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    return text.find("libwebkit2gtk") != std::string::npos;
  };
  auto browserProcess = [&] { return test::DescendantsNamed(run.Pid(), {"veradex-browser"}) > 0; };
  EXPECT_FALSE(engineMapped());
  EXPECT_FALSE(browserProcess());

  // A left click shows the report window; its browser starts only now and
  // asks the centre for the report page.
  EXPECT_TRUE(centre.Centre().RequestsTo(test::TestReportCentre::kReportPagePath).empty());
  ASSERT_TRUE(desktop.Click(x, y, 1));
  EXPECT_TRUE(WaitUntil([&] { return !FindReportWindow(desktop, run).empty(); })) << "left click showed nothing";
  EXPECT_TRUE(WaitUntil([&] { return !centre.Centre().RequestsTo(test::TestReportCentre::kReportPagePath).empty(); }));
  // The engine runs in its own process, not in the program.
  EXPECT_TRUE(browserProcess());
  EXPECT_FALSE(engineMapped());
  Picture(desktop, "report-window-from-icon");

  // Its settings button goes through the tray: the password first (none
  // was set, so an empty entry passes), then the personal-data page.
  const std::string window = FindReportWindow(desktop, run);
  int left = 0, top = 0, width = 0, height = 0;
  ASSERT_TRUE(desktop.Geometry(window, &left, &top, &width, &height));
  ASSERT_TRUE(desktop.Click(left + 678, top + 70));
  const std::string login = desktop.WaitForWindow("로그인");
  ASSERT_FALSE(login.empty()) << "the settings button asked no password";
  ASSERT_TRUE(desktop.PressKeys(login, {"Return"}));
  const std::string settings = desktop.WaitForWindow("개인정보 환경설정");
  ASSERT_FALSE(settings.empty()) << "no settings after the settings button";
  Picture(desktop, "settings-from-report-window");

  // The name typed there and saved reaches the profile and the report window.
  ASSERT_TRUE(desktop.Geometry(settings, &left, &top, &width, &height));
  ASSERT_TRUE(desktop.Click(left + 229, top + 99));
  ASSERT_TRUE(desktop.Type(settings, "홍길동"));
  ASSERT_TRUE(desktop.Click(left + 134, top + 327));  // "저장"
  EXPECT_TRUE(desktop.WaitUntilGone("개인정보 환경설정"));
  EXPECT_EQ(ConfigProfileStore("veradex", ProfileFolder()).GetProfileString("Options", "Name"), K("홍길동"));
  Picture(desktop, "personal-data-saved");

  ExitFromTray(desktop, run, x, y);
  EXPECT_FALSE(fs::exists(temp / "captured0a1b.eml"));
  EXPECT_TRUE(fs::exists(temp / "kept" / "inner.eml"));
}

TEST_F(ProgramStartTest, WithoutNotificationAreaTheWindowShowsAndClosingAsksToExit) {
  VirtualDisplay display;  // no tray host
  ASSERT_TRUE(display.Ok());
  DesktopDriver desktop(display.Name());
  Preset("setup", "1");
  Preset("hide_at_run", "1");
  const std::string program = Install("install");

  ChildProcess run(program, {}, Environment(display));
  const std::string notice = desktop.WaitForWindow(kMessageBoxTitle);
  ASSERT_FALSE(notice.empty()) << "no word about the missing notification area";
  Picture(desktop, "no-notification-area");
  ASSERT_TRUE(desktop.PressKeys(notice, {"Return"}));
  // Every box here has the same title: the next one is only known once this
  // one is gone.
  ASSERT_TRUE(desktop.WaitUntilGone(kMessageBoxTitle));
  std::string window;
  ASSERT_TRUE(WaitUntil([&] { return !(window = FindReportWindow(desktop, run)).empty(); }))
      << "the report window is not shown";

  // Its close button (top right) asks whether to exit; No shows it again.
  auto closeWindow = [&] {
    int left = 0, top = 0, width = 0, height = 0;
    ASSERT_TRUE(desktop.Geometry(window, &left, &top, &width, &height));
    ASSERT_TRUE(desktop.Click(left + width - 45, top + 21));
  };
  closeWindow();
  std::string question = desktop.WaitForWindow(kMessageBoxTitle);
  ASSERT_FALSE(question.empty()) << "closing did not ask";
  ASSERT_TRUE(desktop.PressKeys(question, {"Escape"}));
  ASSERT_TRUE(desktop.WaitUntilGone(kMessageBoxTitle));
  EXPECT_TRUE(WaitUntil([&] { return !(window = FindReportWindow(desktop, run)).empty(); }));
  EXPECT_FALSE(run.HasExited());

  closeWindow();
  question = desktop.WaitForWindow(kMessageBoxTitle);
  ASSERT_FALSE(question.empty());
  ASSERT_TRUE(desktop.PressKeys(question, {"Return"}));
  const auto result = run.Wait(std::chrono::seconds(20));
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
}

}  // namespace
}  // namespace veradex
