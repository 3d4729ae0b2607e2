// The tray window with stand-ins for the windows it owns: what the icon's
// clicks, the menu commands and the exit question do.
#include <gtest/gtest.h>
#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/string.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "GuiTestSupport.h"
#include "app/TrayMenu.h"
#include "app/TrayWindow.h"
#include "platform/Cp949.h"
#include "profile/MemoryProfileStore.h"
#include "profile/ServerSettings.h"
#include "report/ReportHistory.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "ui/report/HistoryWindow.h"

namespace veradex {
namespace {

namespace fs = std::filesystem;

std::string K(const char* utf8) { return Cp949::FromWxLossy(wxString::FromUTF8(utf8)); }

// What happened to the owned windows, kept by the test (the windows
// themselves go with the tray).
struct Journal {
  int reportWindowsMade = 0;
  int shows = 0;
  int fieldLoads = 0;
  int settingsMade = 0;
  std::vector<std::string> events;  // "page N", "load", "show", "link" in order
  std::vector<std::string> destroyed;
  ReportHistory* history = nullptr;   // what the tray gave the report window
  std::vector<std::string> attached;  // files put back into its list
};

class FakeReportWindow : public OwnedReportWindow {
 public:
  FakeReportWindow(Journal& journal, bool ready, std::string programDir)
      : journal_(journal), ready_(ready), programDir_(std::move(programDir)) {
    // Frameless, as the report window is.
    frame_ =
        new wxFrame(nullptr, wxID_ANY, "report window stand-in", wxDefaultPosition, wxSize(300, 200), wxBORDER_NONE);
    // Painted means mapped: only a window on screen can be closed by a user.
    // (The frame may outlive this object by a moment: Destroy is deferred.)
    frame_->Bind(wxEVT_PAINT, [flag = paintedFlag](wxPaintEvent& event) {
      wxPaintDC dc(static_cast<wxWindow*>(event.GetEventObject()));
      *flag = true;
    });
  }
  ~FakeReportWindow() override {
    journal_.destroyed.push_back("report");
    frame_->Destroy();
  }
  bool IsWindowShown() const override { return frame_->IsShown(); }
  void ShowWindow() override {
    ++journal_.shows;
    frame_->Show();
  }
  void LoadProfileFields() override { ++journal_.fieldLoads; }
  bool IsReady() const override { return ready_; }
  std::string ProgramDir() const override { return programDir_; }
  // Only handed on, never called: the tray passes it to the settings dialog.
  ProfileChangeListener* Link() override { return reinterpret_cast<ProfileChangeListener*>(&linkTag); }
  wxWindow* Window() override { return frame_; }
  void SetReportHistory(ReportHistory* history) override { journal_.history = history; }
  bool AddAttachment(const std::string& path) override {
    journal_.attached.push_back(path);
    return true;
  }

  wxFrame* frame_;
  std::shared_ptr<bool> paintedFlag = std::make_shared<bool>(false);
  bool Painted() const { return *paintedFlag; }
  static inline int linkTag = 0;

 private:
  Journal& journal_;
  bool ready_;
  std::string programDir_;
};

class FakeSettingsDialog : public OwnedSettingsDialog {
 public:
  explicit FakeSettingsDialog(Journal& journal) : journal_(journal) {}
  ~FakeSettingsDialog() override { journal_.destroyed.push_back("settings"); }
  void SelectPage(int page) override { journal_.events.push_back("page " + std::to_string(page)); }
  void LoadPages() override { journal_.events.push_back("load"); }
  void ShowDialog() override { journal_.events.push_back("show"); }
  void SetProfileChangeListener(ProfileChangeListener* link) override {
    journal_.events.push_back(link == reinterpret_cast<ProfileChangeListener*>(&FakeReportWindow::linkTag) ? "link"
                                                                                                           : "no link");
  }

 private:
  Journal& journal_;
};

// A login dialog whose answers the test queues: (result, typed password).
class FakeLogin : public PasswordPrompt {
 public:
  explicit FakeLogin(std::deque<std::pair<int, std::string>>& answers, int& shown) : answers_(answers), shown_(shown) {}
  int DoModal() override {
    ++shown_;
    if (answers_.empty()) return 2;
    auto [result, password] = answers_.front();
    answers_.pop_front();
    if (result == 1) password_ = password;
    return result;
  }
  std::string Password() const override { return password_; }

 private:
  std::deque<std::pair<int, std::string>>& answers_;
  int& shown_;
  std::string password_;
};

class TrayWindowTest : public ::testing::Test {
 protected:
  TrayWindowTest() {
    ProfileStore::SetCurrent(&store);
    ServerSettings::Reload();
    programDir = dir.Path() + "/";
  }
  ~TrayWindowTest() override {
    if (tray != nullptr) tray->Destroy();
    test::WaitFor([] { return false; }, std::chrono::milliseconds(50));
    ProfileStore::SetCurrent(nullptr);
  }

  TrayWindow::Parts MakeParts() {
    TrayWindow::Parts parts;
    parts.makeReportWindow = [this](ReportWindowHost& commands) -> std::unique_ptr<OwnedReportWindow> {
      ++journal.reportWindowsMade;
      trayLink = &commands;
      auto window = std::make_unique<FakeReportWindow>(journal, reportReady, programDir);
      reportWindow = window.get();
      return window;
    };
    parts.makeSettingsDialog = [this]() -> std::unique_ptr<OwnedSettingsDialog> {
      ++journal.settingsMade;
      return std::make_unique<FakeSettingsDialog>(journal);
    };
    parts.makeLoginDialog = [this]() -> std::unique_ptr<PasswordPrompt> {
      return std::make_unique<FakeLogin>(loginAnswers, loginShown);
    };
    parts.openPage = [this](const std::string& url) {
      pages.push_back(url);
      return browserWorks;
    };
    parts.notificationAreaAvailable = [this] { return notificationArea; };
    parts.popupMenu = [this](wxMenu& menu, wxWindow* owner) {
      ++popups;
      popupOwner = owner;
      for (const wxMenuItem* item : menu.GetMenuItems())
        menuEntries.push_back(item->IsSeparator() ? std::string("-")
                                                  : std::to_string(TrayMenu::CommandOf(item->GetId())) + " " +
                                                        std::string(item->GetItemLabelText().utf8_str()));
      if (choose != 0) {
        wxCommandEvent chosen(wxEVT_MENU, TrayMenu::ItemIdOf(choose));
        chosen.SetEventObject(&menu);
        menu.ProcessEvent(chosen);
      }
    };
    parts.quit = [this] { ++quits; };
    parts.history = history.get();
    return parts;
  }

  TrayWindow* Start() {
    tray = new TrayWindow(MakeParts());
    return tray;
  }
  // Start-up's own order: the tray, then the icon.
  TrayWindow* StartAndInstall() {
    Start();
    tray->InstallTrayIcon();
    return tray;
  }

  test::TempDir dir;
  MemoryProfileStore store;
  test::RecordingMessageSink sink;
  test::ScopedMessageSink scopedSink{&sink};
  Journal journal;
  std::deque<std::pair<int, std::string>> loginAnswers;
  int loginShown = 0;
  std::vector<std::string> pages;
  std::vector<std::string> menuEntries;
  int popups = 0;
  int choose = 0;
  wxWindow* popupOwner = nullptr;
  int quits = 0;
  bool browserWorks = true;
  bool notificationArea = true;
  bool reportReady = true;
  std::string programDir;
  std::unique_ptr<ReportHistory> history;  // outlives the tray and its history window
  TrayWindow* tray = nullptr;
  FakeReportWindow* reportWindow = nullptr;
  ReportWindowHost* trayLink = nullptr;
};

TEST_F(TrayWindowTest, MenuHoldsTheEntriesInOrderWithTheirCommands) {
  StartAndInstall();
  EXPECT_EQ(tray->OnTrayNotify(1, TrayWindow::kRightButtonUp), 1);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(popupOwner, nullptr);
  const std::vector<std::string> expected = {"32773 이용안내",
                                             "32778 불법스팸신고 FAQ",
                                             "32779 Dunmere 홈",
                                             "-",
                                             "32777 개인정보 환경설정",
                                             "32780 프로그램 관리",
                                             "32781 신고 내역",
                                             "-",
                                             "57665 종료"};
  EXPECT_EQ(menuEntries, expected);
}

TEST_F(TrayWindowTest, HistoryCommandShowsTheHistoryWhoseResendReachesTheReportWindow) {
  history = std::make_unique<ReportHistory>(dir.File("history"));
  HistoryEntry refused;
  refused.time = 1000;
  refused.localPath = dir.Write("refused.eml", "Subject: x\r\n\r\nbody");
  refused.verdict = ReportVerdict::kRefused;
  ASSERT_TRUE(history->Add(refused));
  StartAndInstall();
  EXPECT_EQ(journal.history, history.get());

  tray->RunCommand(TrayMenu::kHistory);
  HistoryWindow* window = tray->GetHistoryWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->IsShown());
  ASSERT_EQ(window->RowCount(), 1);
  window->SelectRow(0);
  EXPECT_TRUE(window->ResendSelected());
  EXPECT_EQ(journal.attached, std::vector<std::string>{refused.localPath});
  window->Hide();
  tray->RunCommand(TrayMenu::kHistory);  // made once, shown again
  EXPECT_EQ(tray->GetHistoryWindow(), window);
  EXPECT_TRUE(window->IsShown());
}

TEST_F(TrayWindowTest, VisibleStartShowsTheReportWindowOnceAfterCreatingItHidden) {
  Start();
  ASSERT_EQ(journal.reportWindowsMade, 1);
  EXPECT_FALSE(reportWindow->IsWindowShown());  // made during initialisation, hidden
  EXPECT_EQ(trayLink, tray);
  EXPECT_FALSE(tray->IsShown());
  tray->InstallTrayIcon();
  EXPECT_TRUE(reportWindow->IsWindowShown());
  EXPECT_FALSE(tray->IsShown());
  EXPECT_TRUE(tray->IsIconInstalled());
  EXPECT_EQ(journal.reportWindowsMade, 1);
  EXPECT_EQ(journal.shows, 1);
  EXPECT_EQ(journal.fieldLoads, 1);
  EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(TrayWindowTest, HiddenStartLeavesOnlyTheIconAndTheFirstLeftClickShowsTheWindow) {
  store.WriteProfileString("environments", "hide_at_run", "yes");  // any text is on
  Start();
  EXPECT_EQ(journal.reportWindowsMade, 0);
  tray->InstallTrayIcon();
  ASSERT_EQ(journal.reportWindowsMade, 1);
  EXPECT_FALSE(reportWindow->IsWindowShown());
  EXPECT_EQ(journal.fieldLoads, 0);
  EXPECT_TRUE(tray->IsIconInstalled());

  // Left clicks never open the menu; the first shows the window and reloads
  // its fields, later ones leave a shown window alone.
  EXPECT_EQ(tray->OnTrayNotify(1, TrayWindow::kLeftButtonUp), 1);
  EXPECT_TRUE(reportWindow->IsWindowShown());
  EXPECT_EQ(journal.fieldLoads, 1);
  EXPECT_EQ(tray->OnTrayNotify(1, TrayWindow::kLeftButtonDoubleClick), 1);
  reportWindow->frame_->Iconize();  // minimised still counts as shown
  EXPECT_EQ(tray->OnTrayNotify(1, TrayWindow::kLeftButtonUp), 1);
  EXPECT_EQ(journal.shows, 1);
  EXPECT_EQ(journal.fieldLoads, 1);
  EXPECT_EQ(popups, 0);

  // Hidden again (closed): the next click shows it with fresh fields.
  reportWindow->frame_->Hide();
  tray->OnTrayNotify(1, TrayWindow::kLeftButtonDoubleClick);
  EXPECT_EQ(journal.shows, 2);
  EXPECT_EQ(journal.fieldLoads, 2);
  EXPECT_EQ(journal.reportWindowsMade, 1);
}

TEST_F(TrayWindowTest, OtherIconsAndOtherMouseMessagesAreIgnored) {
  store.WriteProfileString("environments", "hide_at_run", "1");
  StartAndInstall();
  EXPECT_EQ(tray->OnTrayNotify(2, TrayWindow::kLeftButtonUp), 0);
  EXPECT_EQ(tray->OnTrayNotify(0, TrayWindow::kRightButtonUp), 0);
  EXPECT_EQ(tray->OnTrayNotify(1, 0x200 /* mouse move */), 1);
  EXPECT_EQ(tray->OnTrayNotify(1, 0x201 /* left down */), 1);
  EXPECT_FALSE(reportWindow->IsWindowShown());
  EXPECT_EQ(popups, 0);
}

TEST_F(TrayWindowTest, BrokenInstallationIsReportedEachTimeTheWindowIsShown) {
  reportReady = false;
  StartAndInstall();
  EXPECT_TRUE(reportWindow->IsWindowShown());  // stays shown
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Messages()[0].text,
            K("정상적으로 인스톨이 되지 않았습니다.\n언인스톨후 다시 인스톨해주시기 바랍니다."));
  EXPECT_EQ(sink.Messages()[0].style, 16u);
  reportWindow->frame_->Hide();
  tray->OnTrayNotify(1, TrayWindow::kLeftButtonUp);
  EXPECT_EQ(sink.Count(), 2u);
}

TEST_F(TrayWindowTest, PageCommandsOpenTheInformationSiteInTheBrowser) {
  store.WriteProfileString("servers", "info", "info.test:8080");
  ServerSettings::Reload();
  StartAndInstall();
  tray->RunCommand(TrayMenu::kUsageGuide);
  tray->RunCommand(TrayMenu::kFaq);
  tray->RunCommand(TrayMenu::kHome);
  const std::vector<std::string> expected = {"http://info.test:8080/ambrel/spam/jsp/spam_5010_01.jsp",
                                             "http://info.test:8080/ambrel/spam/jsp/spam_faq_list.jsp",
                                             "http://info.test:8080"};
  EXPECT_EQ(pages, expected);
  EXPECT_EQ(sink.Count(), 0u);
  EXPECT_EQ(loginShown, 0);

  // No browser: the user gets the address instead of silence.
  browserWorks = false;
  tray->RunCommand(TrayMenu::kFaq);
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Messages()[0].style, 16u);
  EXPECT_NE(sink.Messages()[0].text.find("http://info.test:8080/ambrel/spam/jsp/spam_faq_list.jsp"), std::string::npos);
}

TEST_F(TrayWindowTest, SettingsAskThePasswordEveryTimeAndOpenTheChosenPage) {
  store.WriteProfileString("environments", "PW", K("비밀pw"));
  // use_pw is off: the settings are protected all the same.
  StartAndInstall();

  loginAnswers = {{1, K("비밀pw")}};
  tray->RunCommand(TrayMenu::kPersonalSettings);
  EXPECT_EQ(loginShown, 1);
  EXPECT_EQ(journal.settingsMade, 1);
  EXPECT_EQ(journal.events, (std::vector<std::string>{"link", "page 0", "load", "show", "link"}));

  // Already open: asked again, switched to page 1 and reloaded.
  journal.events.clear();
  loginAnswers = {{1, K("비밀pw")}};
  tray->RunCommand(TrayMenu::kProgramSettings);
  EXPECT_EQ(loginShown, 2);
  EXPECT_EQ(journal.settingsMade, 1);
  EXPECT_EQ(journal.events, (std::vector<std::string>{"page 1", "load", "show", "link"}));

  // The report window's settings button goes the same way.
  journal.events.clear();
  loginAnswers = {{1, K("비밀pw")}};
  trayLink->OpenSettings(0);
  EXPECT_EQ(loginShown, 3);
  EXPECT_EQ(journal.events, (std::vector<std::string>{"page 0", "load", "show", "link"}));
  EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(TrayWindowTest, WrongOrCancelledPasswordOpensNothing) {
  store.WriteProfileString("environments", "PW", "secret");
  StartAndInstall();

  loginAnswers = {{1, "Secret"}};  // case matters
  tray->RunCommand(TrayMenu::kPersonalSettings);
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, K("인증에 실패하였습니다."));
  EXPECT_EQ(sink.Messages()[0].style, 16u);
  EXPECT_EQ(loginShown, 1);  // no second attempt within the command
  EXPECT_EQ(journal.settingsMade, 0);

  loginAnswers = {{2, "secret"}};
  tray->RunCommand(TrayMenu::kProgramSettings);
  EXPECT_EQ(loginShown, 2);
  EXPECT_EQ(sink.Count(), 1u);
  EXPECT_EQ(journal.settingsMade, 0);

  // The menu still works afterwards.
  loginAnswers = {{1, "secret"}};
  tray->RunCommand(TrayMenu::kProgramSettings);
  EXPECT_EQ(journal.settingsMade, 1);
}

TEST_F(TrayWindowTest, EmptyStoredPasswordLetsAnEmptyEntryIntoTheSettings) {
  StartAndInstall();
  loginAnswers = {{1, ""}};
  tray->RunCommand(TrayMenu::kPersonalSettings);
  EXPECT_EQ(journal.settingsMade, 1);
  EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(TrayWindowTest, ExitQuestionNoKeepsRunningYesQuitsAndEmptiesTheTempFolder) {
  dir.Write("temp/captured1234.eml", "mail");
  dir.Write("temp/.hidden", "x");
  dir.Write("temp/sub/kept.eml", "kept");
  dir.Write("kept-beside.txt", "beside");
  StartAndInstall();

  sink.SetAnswer(kIdNo);
  tray->RunCommand(TrayMenu::kExit);
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, K("종료하시겠습니까?"));
  EXPECT_EQ(sink.Messages()[0].style, 0x24u);
  EXPECT_EQ(quits, 0);
  EXPECT_FALSE(tray->IsQuitting());
  EXPECT_TRUE(fs::exists(dir.File("temp/captured1234.eml")));

  sink.SetAnswer(kIdYes);
  tray->ConfirmExit();
  EXPECT_EQ(quits, 1);
  EXPECT_TRUE(tray->IsQuitting());
  EXPECT_FALSE(fs::exists(dir.File("temp/captured1234.eml")));
  EXPECT_FALSE(fs::exists(dir.File("temp/.hidden")));
  EXPECT_TRUE(fs::exists(dir.File("temp/sub/kept.eml")));
  EXPECT_TRUE(fs::exists(dir.File("kept-beside.txt")));

  // Once quitting, nothing more is asked.
  tray->RunCommand(TrayMenu::kExit);
  tray->RunCommand(TrayMenu::kPersonalSettings);
  EXPECT_EQ(sink.Count(), 2u);
  EXPECT_EQ(loginShown, 0);
}

TEST_F(TrayWindowTest, MenuChoiceRunsInTheTrayOnceTheMenuHasClosed) {
  StartAndInstall();
  loginAnswers = {{1, ""}};
  // The report window's menu button: the pop-up belongs to that window, and
  // the user picks "프로그램 관리" from it.
  choose = TrayMenu::kProgramSettings;
  trayLink->PopupTrayMenu();
  EXPECT_EQ(popupOwner, reportWindow->frame_);
  EXPECT_EQ(loginShown, 0);  // not while the menu is up
  ASSERT_TRUE(test::WaitFor([&] { return journal.settingsMade == 1; }));
  EXPECT_EQ(journal.events, (std::vector<std::string>{"link", "page 1", "load", "show", "link"}));
}

TEST_F(TrayWindowTest, WithoutNotificationAreaTheWindowShowsAtStartAndClosingAsksToExit) {
  notificationArea = false;
  store.WriteProfileString("environments", "hide_at_run", "1");
  StartAndInstall();
  ASSERT_NE(reportWindow, nullptr);
  EXPECT_TRUE(reportWindow->IsWindowShown());
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, TrayWindow::NoNotificationAreaText());
  EXPECT_EQ(sink.Messages()[0].style, 16u);

  // Closed: asked whether to exit; No brings the window back.
  ASSERT_TRUE(test::WaitFor([&] { return reportWindow->Painted(); }));
  sink.SetAnswer(kIdNo);
  reportWindow->frame_->Hide();
  ASSERT_TRUE(test::WaitFor([&] { return sink.Count() == 2u; }));
  EXPECT_EQ(sink.Messages()[1].text, K("종료하시겠습니까?"));
  EXPECT_TRUE(test::WaitFor([&] { return reportWindow->IsWindowShown(); }));
  EXPECT_EQ(quits, 0);

  // Yes ends the run.
  *reportWindow->paintedFlag = false;
  ASSERT_TRUE(test::WaitFor([&] { return reportWindow->Painted(); }));
  sink.SetAnswer(kIdYes);
  reportWindow->frame_->Hide();
  ASSERT_TRUE(test::WaitFor([&] { return quits == 1; }));
  EXPECT_EQ(sink.Count(), 3u);  // the start notice came once only
}

TEST_F(TrayWindowTest, WithNotificationAreaClosingTheWindowOnlyHidesIt) {
  StartAndInstall();
  ASSERT_TRUE(test::WaitFor([&] { return reportWindow->Painted(); }));
  reportWindow->frame_->Hide();
  test::WaitFor([] { return false; }, std::chrono::milliseconds(100));
  EXPECT_EQ(sink.Count(), 0u);
  EXPECT_EQ(journal.shows, 1);
  EXPECT_FALSE(reportWindow->IsWindowShown());
}

TEST_F(TrayWindowTest, DestroyingTheTrayDestroysTheReportWindowThenTheSettings) {
  StartAndInstall();
  loginAnswers = {{1, ""}};
  tray->RunCommand(TrayMenu::kPersonalSettings);
  tray->RemoveTrayIcon();
  EXPECT_FALSE(tray->IsIconInstalled());
  tray->Destroy();
  tray = nullptr;
  EXPECT_EQ(journal.destroyed, (std::vector<std::string>{"report", "settings"}));
}

}  // namespace
}  // namespace veradex
