// Starts the built program as separate processes, the way a user does, each
// test on its own virtual display, and acts on its windows with real key
// presses and clicks.
#include <gtest/gtest.h>
#include <wx/string.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "platform/Cp949.h"
#include "platform/SingleInstanceGuard.h"
#include "profile/ConfigProfileStore.h"
#include "support/ChildProcess.h"
#include "support/DesktopDriver.h"
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
  }

  std::string ConfigHome() const { return dir.Path() + "/config"; }
  std::string ProfileFolder() const { return ConfigHome() + "/Ambrel"; }
  std::string AutostartFolder() const { return dir.Path() + "/autostart"; }
  std::string EntryPath() const { return AutostartFolder() + "/Veradex.desktop"; }

  // A copy of the program with what ships beside it, installed in folder.
  std::string Install(const std::string& folder) {
    const fs::path target = fs::path(dir.Path()) / folder;
    fs::create_directories(target);
    const fs::path built = fs::path(VERADEX_EXECUTABLE);
    for (const auto& entry : fs::directory_iterator(built.parent_path())) {
      if (entry.path().extension() == ".bak")
        fs::copy_file(entry.path(), target / entry.path().filename(), fs::copy_options::overwrite_existing);
    }
    fs::copy_file(built, target / "veradex", fs::copy_options::overwrite_existing);
    fs::permissions(target / "veradex", fs::perms::owner_all);
    return (target / "veradex").string();
  }

  std::map<std::string, std::string> Environment(const VirtualDisplay& display) const {
    return {{"DISPLAY", display.Name()},
            {"XDG_CONFIG_HOME", ConfigHome()},
            {"VERADEX_AUTOSTART_DIR", AutostartFolder()},
            {"GSETTINGS_BACKEND", "memory"},
            {"NO_AT_BRIDGE", "1"}};
  }

  void Preset(const std::string& entry, const std::string& value) {
    ConfigProfileStore("veradex", ProfileFolder()).WriteProfileString("environments", entry, value);
  }
  std::string ProfileValue(const std::string& entry) {
    return ConfigProfileStore("veradex", ProfileFolder()).GetProfileString("environments", entry, "<missing>");
  }

  // True while a copy of the program holds the user's marker.
  bool MarkerHeld() {
    SingleInstanceGuard probe(SingleInstanceGuard::kMarkerName, ProfileFolder());
    return !probe.Acquire();
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
    const char* folder = std::getenv("VERADEX_SCREENSHOT_DIR");
    if (folder == nullptr || *folder == '\0') return;
    fs::create_directories(folder);
    EXPECT_TRUE(desktop.Screenshot(std::string(folder) + "/" + name + ".png"));
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

  test::TempDir dir;
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
  }
  // Without a display the program says so on standard error.
  const auto headless = ChildProcess::Run(
      program, {}, {{"DISPLAY", ""}, {"XDG_CONFIG_HOME", ConfigHome()}, {"VERADEX_AUTOSTART_DIR", AutostartFolder()}});
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
  ASSERT_TRUE(WaitForMarker(first)) << first.Wait(std::chrono::seconds(1)).standardError;
  // Every start records where the program is and points the autostart entry there.
  EXPECT_TRUE(WaitUntil([&] { return fs::exists(EntryPath()); }));
  EXPECT_EQ(ProfileValue("ProPathName"), K(fs::path(program).parent_path().string() + "/"));
  EXPECT_NE(ReadFileBytes(EntryPath()).find("\nExec=\"" + program + "\"\n"), std::string::npos);

  // The icon sits in the notification area.
  std::vector<std::string> icons;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while ((icons = desktop.FindWindowsOfProcess(first.Pid(), "veradex")).empty() &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_EQ(icons.size(), 1u) << "no tray icon";
  int x = 0, y = 0, width = 0, height = 0;
  ASSERT_TRUE(desktop.Geometry(icons[0], &x, &y, &width, &height));
  EXPECT_GT(x, 1000);  // at the top right, in the tray host's panel
  EXPECT_LT(y, 40);

  // A second copy is refused while the first runs; the first goes on.
  ExpectSecondCopyRefused(display, program, false);
  EXPECT_FALSE(first.HasExited());

  // Right click: the menu at the cursor. Its last entry is "종료".
  auto chooseExit = [&](const char* picture) {
    ASSERT_TRUE(desktop.Click(x + width / 2, y + height / 2, 3));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the menu has no title to wait for
    if (picture != nullptr) Picture(desktop, picture);
    ASSERT_TRUE(desktop.RunCommand("timeout 10 xdotool key --delay 50 Up Return"));
  };
  chooseExit("tray-menu");
  std::string question = desktop.WaitForWindow(kMessageBoxTitle);
  ASSERT_FALSE(question.empty()) << "no exit question";
  Picture(desktop, "exit-question");
  // Escape answers No: everything keeps running.
  EXPECT_TRUE(desktop.PressKeys(question, {"Escape"}));
  EXPECT_TRUE(desktop.WaitUntilGone(kMessageBoxTitle));
  EXPECT_FALSE(first.HasExited());
  EXPECT_TRUE(MarkerHeld());

  // Yes ends the program, with exit code 0, and its icon goes.
  chooseExit(nullptr);
  question = desktop.WaitForWindow(kMessageBoxTitle);
  ASSERT_FALSE(question.empty());
  EXPECT_TRUE(desktop.PressKeys(question, {"Return"}));
  const auto result = first.Wait(std::chrono::seconds(20));
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_TRUE(desktop.FindWindowsOfProcess(first.Pid(), "veradex").empty());
  EXPECT_FALSE(MarkerHeld());

  // Preference off: the next start removes the entry.
  Preset("run_at_sysstart", "");
  ChildProcess again(program, {}, Environment(display));
  ASSERT_TRUE(WaitForMarker(again));
  EXPECT_TRUE(WaitUntil([&] { return !fs::exists(EntryPath()); }));
}

}  // namespace
}  // namespace veradex
