#include <gtest/gtest.h>
#include <wx/string.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/StartupSequence.h"
#include "platform/Cp949.h"
#include "profile/ConfigProfileStore.h"
#include "profile/PersonalProfile.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;

std::string K(const char* utf8) { return Cp949::FromWxLossy(wxString::FromUTF8(utf8)); }

// A password dialog whose answers the test queues: (result, typed text). The
// text stays from one showing to the next, as in the real dialog.
class FakePrompt : public PasswordPrompt {
 public:
  FakePrompt(std::deque<std::pair<int, std::string>>* answers, std::vector<std::string>* log, std::string name)
      : answers_(answers), log_(log), name_(std::move(name)) {}
  int DoModal() override {
    log_->push_back(name_);
    if (answers_->empty()) return 2;
    auto [result, text] = answers_->front();
    answers_->pop_front();
    if (result == 1) password_ = text;
    return result;
  }
  std::string Password() const override { return password_; }

 private:
  std::deque<std::pair<int, std::string>>* answers_;
  std::vector<std::string>* log_;
  std::string name_;
  std::string password_;
};

class StartupSequenceTest : public ::testing::Test {
 protected:
  ~StartupSequenceTest() override { PersonalProfile::Global() = PersonalProfile(); }

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
    parts.autostart =
        std::make_unique<Autostart>(AutostartFolder(), dir.Path() + "/config/autostart", programDir + "veradex");
    parts.executableDirectory = programDir;
    parts.makeSetupDialog = [this] {
      ++setupDialogsMade;
      return std::make_unique<FakePrompt>(&setupAnswers, &log, "setup");
    };
    parts.makeLoginDialog = [this] {
      ++loginDialogsMade;
      return std::make_unique<FakePrompt>(&loginAnswers, &log, "login");
    };
    parts.createTrayWindow = [this] { log.push_back("tray, name '" + PersonalProfile::Global().name + "'"); };
    parts.installTrayIcon = [this] { log.push_back("icon, name '" + PersonalProfile::Global().name + "'"); };
    return parts;
  }

  // A full start; the log says what the user saw, in order.
  bool Start() {
    log.clear();
    PersonalProfile::Global() = PersonalProfile();
    StartupSequence startup(MakeParts());
    return startup.Run();
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
  std::deque<std::pair<int, std::string>> setupAnswers;
  std::deque<std::pair<int, std::string>> loginAnswers;
  int setupDialogsMade = 0;
  int loginDialogsMade = 0;
  std::vector<std::string> log;
};

using Log = std::vector<std::string>;

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

TEST_F(StartupSequenceTest, FirstRunAsksForAPasswordAndCancellingLeavesNothingBehind) {
  Preset("PW", "old");  // from an earlier, unfinished installation
  Preset("use_pw", "1");
  for (const int cancel : {2, 0}) {  // Cancel, or the dialog closed otherwise
    setupAnswers = {{cancel, "typed"}};
    EXPECT_FALSE(Start());
    EXPECT_EQ(log, Log{"setup"});
    EXPECT_EQ(Read("setup"), "<missing>");
    EXPECT_EQ(Read("PW"), "old");
  }
  EXPECT_EQ(loginDialogsMade, 0);
}

TEST_F(StartupSequenceTest, FirstRunSetUpStoresThePasswordAndAsksNothingMoreOnThatRun) {
  Preset("use_pw", "1");
  ConfigProfileStore("veradex", ProfileFolder()).WriteProfileString("Options", "Name", K("홍길동"));
  setupAnswers = {{1, K("새암호")}};
  EXPECT_TRUE(Start());
  // No login on this run; the tray comes before the personal data, the icon after.
  EXPECT_EQ(log, (Log{"setup", "tray, name ''", "icon, name '" + K("홍길동") + "'"}));
  EXPECT_EQ(Read("setup"), "1");
  EXPECT_EQ(Read("PW"), K("새암호"));
  EXPECT_EQ(sink.Count(), 0u);

  // The next start asks for it.
  loginAnswers = {{1, K("새암호")}};
  EXPECT_TRUE(Start());
  EXPECT_EQ(log, (Log{"login", "tray, name ''", "icon, name '" + K("홍길동") + "'"}));
  EXPECT_EQ(setupDialogsMade, 1);
}

TEST_F(StartupSequenceTest, EmptySetUpPasswordIsAPassword) {
  setupAnswers = {{1, ""}};
  EXPECT_TRUE(Start());
  EXPECT_EQ(Read("setup"), "1");
  EXPECT_EQ(Read("PW"), "");
}

TEST_F(StartupSequenceTest, LoginOnlyWhenAskedForAndAnyTextCountsAsOn) {
  Preset("setup", "0");  // any text marks the set-up as done
  Preset("PW", "pw");
  EXPECT_TRUE(Start());  // use_pw missing: off
  EXPECT_EQ(log, (Log{"tray, name ''", "icon, name ''"}));
  Preset("use_pw", "");
  EXPECT_TRUE(Start());
  EXPECT_EQ(loginDialogsMade, 0);

  Preset("use_pw", "0");
  loginAnswers = {{1, "pw"}};
  EXPECT_TRUE(Start());
  EXPECT_EQ(log, (Log{"login", "tray, name ''", "icon, name ''"}));
}

TEST_F(StartupSequenceTest, EmptyStoredPasswordLetsAnEmptyEntryPass) {
  Preset("setup", "1");
  Preset("use_pw", "1");
  loginAnswers = {{1, ""}};
  EXPECT_TRUE(Start());  // PW absent
  Preset("PW", "");
  loginAnswers = {{1, ""}};
  EXPECT_TRUE(Start());
  EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(StartupSequenceTest, WrongPasswordsAreToldAndAskedAgainWithoutLimit) {
  Preset("setup", "1");
  Preset("use_pw", "1");
  Preset("PW", K("암호Ab"));
  loginAnswers = {{1, K("암호ab")}, {1, K("암호Ab ")}, {1, ""}, {1, K("암호")}, {1, K("암호Ab")}};
  EXPECT_TRUE(Start());
  EXPECT_EQ(log, (Log{"login", "login", "login", "login", "login", "tray, name ''", "icon, name ''"}));
  EXPECT_EQ(loginDialogsMade, 1);  // the same dialog each time
  ASSERT_EQ(sink.Count(), 4u);
  for (const auto& message : sink.Messages()) {
    EXPECT_EQ(message.text, K("인증에 실패하였습니다."));
    EXPECT_EQ(message.style, 16u);
  }
}

TEST_F(StartupSequenceTest, CancellingTheLoginAtAnyAttemptEndsStartUp) {
  Preset("setup", "1");
  Preset("use_pw", "1");
  Preset("PW", "right");
  loginAnswers = {{2, "right"}};
  EXPECT_FALSE(Start());
  EXPECT_EQ(log, Log{"login"});
  EXPECT_EQ(sink.Count(), 0u);

  loginAnswers = {{1, "wrong"}, {2, "right"}};
  EXPECT_FALSE(Start());
  EXPECT_EQ(log, (Log{"login", "login"}));
  EXPECT_EQ(sink.Count(), 1u);
}

}  // namespace
}  // namespace veradex
