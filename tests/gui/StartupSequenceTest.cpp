#include <gtest/gtest.h>
#include <wx/string.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/StartupSequence.h"
#include "platform/Cp949.h"
#include "profile/ConfigProfileStore.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;

std::string K(const char* utf8) { return Cp949::FromWxLossy(wxString::FromUTF8(utf8)); }

class StartupSequenceTest : public ::testing::Test {
 protected:
  std::string ProfileFolder() const { return dir.Path() + "/Ambrel"; }
  std::string AutostartFolder() const { return dir.Path() + "/autostart"; }
  std::string EntryPath() const { return AutostartFolder() + "/Veradex.desktop"; }

  StartupSequence::Parts MakeParts(const std::string& programDir = "/opt/veradex/") {
    fs::create_directories(AutostartFolder());
    StartupSequence::Parts parts;
    parts.instanceGuard = std::make_unique<SingleInstanceGuard>(SingleInstanceGuard::kMarkerName, ProfileFolder());
    parts.startSockets = [this] { return socketsWork; };
    parts.openProfile = [this]() -> std::unique_ptr<ProfileStore> {
      ++profileOpened;
      return std::make_unique<ConfigProfileStore>("veradex", ProfileFolder());
    };
    parts.autostart = std::make_unique<Autostart>(AutostartFolder(), programDir + "veradex");
    parts.executableDirectory = programDir;
    return parts;
  }

  void Preset(const std::string& entry, const std::string& value) {
    ConfigProfileStore("veradex", ProfileFolder()).WriteProfileString("environments", entry, value);
  }
  std::string Read(const std::string& entry) {
    return ConfigProfileStore("veradex", ProfileFolder()).GetProfileString("environments", entry, "<missing>");
  }

  test::TempDir dir;
  test::RecordingMessageSink sink;
  test::ScopedMessageSink scopedSink{&sink};
  bool socketsWork = true;
  int profileOpened = 0;
};

TEST_F(StartupSequenceTest, SecondCopyIsRefusedBeforeAnyProfileOrAutostartAccess) {
  Preset("run_at_sysstart", "1");
  const std::string profileBefore = ReadFileBytes(ProfileFolder() + "/veradex.conf");
  SingleInstanceGuard runningCopy(SingleInstanceGuard::kMarkerName, ProfileFolder());
  ASSERT_TRUE(runningCopy.Acquire());

  StartupSequence second(MakeParts());
  EXPECT_FALSE(second.RunProfileSteps());
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, K("프로그램이 이미 실행되어 있습니다..."));
  EXPECT_EQ(sink.Messages()[0].style, 16u);
  EXPECT_EQ(profileOpened, 0);
  EXPECT_EQ(second.Store(), nullptr);
  EXPECT_EQ(ReadFileBytes(ProfileFolder() + "/veradex.conf"), profileBefore);
  EXPECT_FALSE(fs::exists(EntryPath()));
}

TEST_F(StartupSequenceTest, SocketFailureStopsWithItsMessageBeforeTheProfile) {
  socketsWork = false;
  StartupSequence startup(MakeParts());
  EXPECT_FALSE(startup.RunProfileSteps());
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, K("소켓초기화에 실패하였습니다..."));
  EXPECT_EQ(sink.Messages()[0].style, 16u);
  EXPECT_EQ(profileOpened, 0);
}

TEST_F(StartupSequenceTest, EveryStartRecordsTheProgramDirectoryAndAppliesAutostart) {
  Preset("run_at_sysstart", "0");  // any text is on
  {
    StartupSequence startup(MakeParts("/opt/veradex/"));
    ASSERT_TRUE(startup.RunProfileSteps());
    EXPECT_EQ(sink.Count(), 0u);
    EXPECT_EQ(&ProfileStore::Current(), startup.Store());
    EXPECT_EQ(Read("ProPathName"), "/opt/veradex/");
    EXPECT_NE(ReadFileBytes(EntryPath()).find("\nExec=\"/opt/veradex/veradex\"\n"), std::string::npos);
  }
  EXPECT_NE(&ProfileStore::Current(), nullptr);  // falls back to memory, never dangles

  // Moved to a Korean folder name: the new directory, byte for byte in code
  // page 949, and the entry follows.
  const std::string moved = K("/home/user/새 폴더/");
  {
    StartupSequence startup(MakeParts(moved));
    ASSERT_TRUE(startup.RunProfileSteps());
    EXPECT_EQ(Read("ProPathName"), moved);
    EXPECT_NE(ReadFileBytes(EntryPath()).find("Exec=\"" + moved + "veradex\""), std::string::npos);
  }

  // Preference off: the entry goes; the next start finds none to delete and
  // carries on all the same.
  Preset("run_at_sysstart", "");
  for (int start = 0; start < 2; ++start) {
    StartupSequence startup(MakeParts());
    ASSERT_TRUE(startup.RunProfileSteps());
    EXPECT_FALSE(fs::exists(EntryPath()));
    EXPECT_EQ(Read("ProPathName"), "/opt/veradex/");
  }
  EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(StartupSequenceTest, DamagedProfileIsReportedAndStartUpGoesOn) {
  fs::create_directories(ProfileFolder());
  std::string damaged = "[environments]\nsetup=1\n\xFF\xFF\xFF\n";
  { std::ofstream(ProfileFolder() + "/veradex.conf", std::ios::binary) << damaged; }
  StartupSequence startup(MakeParts());
  ASSERT_TRUE(startup.RunProfileSteps());
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Messages()[0].style, 16u);
  const auto* store = dynamic_cast<ConfigProfileStore*>(startup.Store());
  ASSERT_NE(store, nullptr);
  EXPECT_NE(sink.Messages()[0].text.find(store->DamagedCopyPath()), std::string::npos);
  EXPECT_EQ(ReadFileBytes(store->DamagedCopyPath()), damaged);
  EXPECT_EQ(Read("setup"), "1");
  EXPECT_EQ(Read("ProPathName"), "/opt/veradex/");
}

}  // namespace
}  // namespace veradex
