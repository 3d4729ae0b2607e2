// Starts the built program as a separate process, the way a user does.
#include <gtest/gtest.h>
#include <wx/string.h>

#include <filesystem>
#include <map>
#include <string>

#include "platform/Cp949.h"
#include "platform/SingleInstanceGuard.h"
#include "profile/ConfigProfileStore.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

namespace fs = std::filesystem;
using test::ChildProcess;
using test::ReadFileBytes;

std::string K(const std::string& utf8) { return Cp949::FromWxLossy(wxString::FromUTF8(utf8.c_str())); }

const char kStopLine[] = "veradex: start-up stops after the profile steps; windows are not built yet";

class ProgramStartTest : public ::testing::Test {
 protected:
  ProgramStartTest() { fs::create_directories(AutostartFolder()); }

  std::string ConfigHome() const { return dir.Path() + "/config"; }
  std::string ProfileFolder() const { return ConfigHome() + "/Ambrel"; }
  std::string AutostartFolder() const { return dir.Path() + "/autostart"; }
  std::string EntryPath() const { return AutostartFolder() + "/Veradex.desktop"; }

  ChildProcess::Result Start(const std::string& program = VERADEX_EXECUTABLE) {
    return ChildProcess::Run(program, {},
                             {{"XDG_CONFIG_HOME", ConfigHome()}, {"VERADEX_AUTOSTART_DIR", AutostartFolder()}});
  }
  std::string ProfileValue(const std::string& entry) {
    return ConfigProfileStore("veradex", ProfileFolder()).GetProfileString("environments", entry, "<missing>");
  }

  test::TempDir dir;
};

TEST_F(ProgramStartTest, SecondCopyIsRefusedAndLeavesProfileAndAutostartAlone) {
  ConfigProfileStore("veradex", ProfileFolder()).WriteProfileString("environments", "run_at_sysstart", "1");
  const std::string profileBefore = ReadFileBytes(ProfileFolder() + "/veradex.conf");
  {
    // This test process holds the user's marker, as a running copy does.
    SingleInstanceGuard runningCopy(SingleInstanceGuard::kMarkerName, ProfileFolder());
    ASSERT_TRUE(runningCopy.Acquire());
    const auto second = Start();
    ASSERT_TRUE(second.started);
    EXPECT_FALSE(second.timedOut);
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_NE(second.standardError.find("프로그램이 이미 실행되어 있습니다..."), std::string::npos)
        << second.standardError;
    EXPECT_EQ(second.standardError.find(kStopLine), std::string::npos);
    EXPECT_EQ(ReadFileBytes(ProfileFolder() + "/veradex.conf"), profileBefore);
    EXPECT_FALSE(fs::exists(EntryPath()));
  }
  // Marker released: the program starts, and a start right after it finds
  // no marker left behind by the copy that has ended.
  for (int start = 0; start < 2; ++start) {
    const auto run = Start();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.standardError.find(kStopLine), std::string::npos) << run.standardError;
    EXPECT_EQ(run.standardError.find("이미 실행"), std::string::npos) << run.standardError;
  }
  EXPECT_EQ(ProfileValue("ProPathName"), K(fs::path(VERADEX_EXECUTABLE).parent_path().string() + "/"));
  EXPECT_TRUE(fs::exists(EntryPath()));
}

TEST_F(ProgramStartTest, MovedProgramUpdatesProPathNameAndTheAutostartEntry) {
  ConfigProfileStore("veradex", ProfileFolder()).WriteProfileString("environments", "run_at_sysstart", "1");
  for (const std::string folder : {"설치 폴더", "moved/again"}) {
    const fs::path installed = fs::path(dir.Path()) / folder / "veradex";
    fs::create_directories(installed.parent_path());
    fs::copy_file(VERADEX_EXECUTABLE, installed, fs::copy_options::overwrite_existing);
    fs::permissions(installed, fs::perms::owner_all);
    const auto run = Start(installed.string());
    ASSERT_TRUE(run.started) << installed;
    EXPECT_EQ(run.exitCode, 0) << run.standardError;
    EXPECT_NE(run.standardError.find(kStopLine), std::string::npos) << run.standardError;
    EXPECT_EQ(ProfileValue("ProPathName"), K(installed.parent_path().string() + "/"));
    EXPECT_NE(ReadFileBytes(EntryPath()).find("\nExec=\"" + installed.string() + "\"\n"), std::string::npos)
        << ReadFileBytes(EntryPath());
  }
  // Preference off: the next start removes the entry.
  ConfigProfileStore("veradex", ProfileFolder()).WriteProfileString("environments", "run_at_sysstart", "");
  EXPECT_EQ(Start().exitCode, 0);
  EXPECT_FALSE(fs::exists(EntryPath()));
}

}  // namespace
}  // namespace veradex
