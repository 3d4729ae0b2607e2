// The capture button against a real Thunderbird on the test's display, with
// and without a window manager: the selected message is saved into the
// temporary folder under the client's proposed name and a tag, attached, and
// reaches the report centre when sent.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>

#include "gui/GuiTestSupport.h"
#include "gui/ReportWindowSetup.h"
#include "pages/CategoryNavigationState.h"
#include "platform/X11Desktop.h"
#include "profile/MemoryProfileStore.h"
#include "profile/PersonalProfile.h"
#include "profile/ServerSettings.h"
#include "report/MailClientCapture.h"
#include "report/ReportTexts.h"
#include "support/ChildProcess.h"
#include "support/DesktopDriver.h"
#include "support/RecordingMessageSink.h"
#include "support/ReportCentreHarness.h"
#include "support/TempDir.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/EmailReportPanel.h"
#include "ui/report/ReportWindow.h"
#include "ui/skin/SkinBitmapButton.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/textctrl.h>

namespace veradex {
namespace {

namespace fs = std::filesystem;
using test::ChildProcess;
using test::TempDir;
using test::WaitFor;

// The two messages of the Inbox; the first has a Korean encoded subject.
const char* const kMessages[] = {
    "Return-Path: <spam@example.net>\n"
    "From: Spammer <spam@example.net>\n"
    "To: me@example.org\n"
    "Subject: =?UTF-8?B?7ZWc6riAIOq0keqzoA==?=\n"  // 한글 광고
    "Date: Mon, 07 Dec 2026 09:00:00 +0000\n"
    "Message-ID: <one@example.net>\n"
    "MIME-Version: 1.0\n"
    "Content-Type: text/plain; charset=UTF-8\n"
    "\n"
    "Cheap loans, call now.\n",
    "Return-Path: <other@example.net>\n"
    "From: Other <other@example.net>\n"
    "To: me@example.org\n"
    "Subject: Second offer\n"
    "Date: Mon, 07 Dec 2026 10:00:00 +0000\n"
    "Message-ID: <two@example.net>\n"
    "\n"
    "Body two.\n",
};

constexpr const char* kUserJs =
    "user_pref(\"mail.shell.checkDefaultClient\", false);\n"
    "user_pref(\"mail.provider.suppress_dialog_on_startup\", true);\n"
    "user_pref(\"mail.accounthub.enabled\", false);\n"
    "user_pref(\"mailnews.start_page.enabled\", false);\n"
    "user_pref(\"mail.rights.override\", true);\n"
    "user_pref(\"app.update.enabled\", false);\n"
    "user_pref(\"app.update.auto\", false);\n"
    "user_pref(\"app.update.checkInstallTime\", false);\n"
    "user_pref(\"extensions.update.enabled\", false);\n"
    "user_pref(\"datareporting.policy.dataSubmissionEnabled\", false);\n"
    "user_pref(\"datareporting.healthreport.uploadEnabled\", false);\n"
    "user_pref(\"datareporting.policy.dataSubmissionPolicyBypassNotification\", true);\n"
    "user_pref(\"toolkit.telemetry.enabled\", false);\n"
    "user_pref(\"toolkit.telemetry.reportingpolicy.firstRun\", false);\n"
    "user_pref(\"intl.locale.requested\", \"ko\");\n"
    "user_pref(\"mail.accountmanager.accounts\", \"account1\");\n"
    "user_pref(\"mail.accountmanager.localfoldersserver\", \"server1\");\n"
    "user_pref(\"mail.account.account1.server\", \"server1\");\n"
    "user_pref(\"mail.server.server1.type\", \"none\");\n"
    "user_pref(\"mail.server.server1.hostname\", \"Local Folders\");\n"
    "user_pref(\"mail.server.server1.name\", \"Local Folders\");\n"
    "user_pref(\"mail.server.server1.userName\", \"nobody\");\n"
    "user_pref(\"mail.server.server1.directory-rel\", \"[ProfD]Mail/Local Folders\");\n";

constexpr const char* kThunderbird = "/usr/bin/thunderbird";

// Line ends as LF and no trailing blank lines, for comparing messages.
std::string Normalised(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::string WithoutReturnPath(const std::string& message) {
  const std::size_t end = message.find('\n');
  return message.substr(end + 1);
}

// Every process below pid (children first found, then theirs).
std::vector<pid_t> DescendantsOf(pid_t pid) {
  std::vector<pid_t> found{pid};
  for (std::size_t i = 0; i < found.size(); ++i) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
      const std::string name = entry.path().filename().string();
      if (name.find_first_not_of("0123456789") != std::string::npos) continue;
      std::ifstream stat(entry.path() / "stat");
      std::string line;
      std::getline(stat, line);
      const std::size_t close = line.rfind(')');
      if (close == std::string::npos) continue;
      std::istringstream rest(line.substr(close + 2));
      char state = 0;
      pid_t parent = 0;
      rest >> state >> parent;
      if (parent == found[i]) found.push_back(static_cast<pid_t>(std::stol(name)));
    }
  }
  found.erase(found.begin());
  return found;
}

// Another program that has put text on the clipboard: it owns CLIPBOARD on a
// connection and thread of its own and answers TARGETS and UTF8_STRING until
// someone else takes the clipboard.
class UserClipboard {
 public:
  explicit UserClipboard(std::string text) : text_(std::move(text)) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
    XSetSelectionOwner(display_, clipboard_, window_, CurrentTime);
    XFlush(display_);
    thread_ = std::thread([this] { Serve(); });
  }
  ~UserClipboard() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  const std::string& Text() const { return text_; }

 private:
  void Serve() {
    const Atom targets = XInternAtom(display_, "TARGETS", False);
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    while (!stop_) {
      if (XPending(display_) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        continue;
      }
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type != SelectionRequest) continue;
      const XSelectionRequestEvent& request = event.xselectionrequest;
      XSelectionEvent reply{};
      reply.type = SelectionNotify;
      reply.requestor = request.requestor;
      reply.selection = request.selection;
      reply.target = request.target;
      reply.time = request.time;
      reply.property = request.property;
      if (request.target == targets) {
        long atoms[] = {static_cast<long>(targets), static_cast<long>(utf8)};
        XChangeProperty(display_, request.requestor, request.property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(atoms), 2);
      } else if (request.target == utf8) {
        XChangeProperty(display_, request.requestor, request.property, utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text_.data()), static_cast<int>(text_.size()));
      } else {
        reply.property = None;
      }
      XSendEvent(display_, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
      XFlush(display_);
    }
  }

  std::string text_;
  Display* display_ = nullptr;
  ::Window window_ = 0;
  Atom clipboard_ = None;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class ThunderbirdCaptureTest : public test::ReportWindowFixture<::testing::TestWithParam<bool>> {
 protected:
  void SetUp() override {
    if (::access(kThunderbird, X_OK) != 0) GTEST_SKIP() << "Thunderbird is not installed (tools/install-deps.sh)";
    ASSERT_TRUE(desktop.Ok());
    ReportWindowFixture::SetUp();
    if (HasFatalFailure()) return;
    // The first load of the report page shows the telephone page again; the
    // user then switches to the e-mail view.
    WaitFor([] { return CategoryNavigationState::Process().FirstReportPageSeen(); }, std::chrono::seconds(10));
    Press(ReportWindow::kEmailSpam);
  }

  void TearDown() override {
    // Every process this test started, by its id: the client and what it
    // started, the window manager, the session bus.
    for (ChildProcess* child : {thunderbird.get(), windowManager.get(), bus.get()}) {
      if (child == nullptr || child->HasExited()) continue;
      const std::vector<pid_t> below = DescendantsOf(child->Pid());
      ::kill(child->Pid(), SIGTERM);
      child->Wait(std::chrono::seconds(10));
      for (pid_t pid : below) ::kill(pid, SIGKILL);
    }
    thunderbird.reset();
    windowManager.reset();
    bus.reset();
    ReportWindowFixture::TearDown();
  }

  // A throw-away profile whose Local Folders Inbox holds the two messages.
  void WriteProfile() {
    profile.Write("user.js", kUserJs);
    std::string inbox;
    const char* const fromLines[] = {"From - Mon Dec 07 09:00:00 2026\n", "From - Mon Dec 07 10:00:00 2026\n"};
    for (int i = 0; i < 2; ++i) inbox += std::string(fromLines[i]) + kMessages[i] + "\n";
    profile.Write("Mail/Local Folders/Inbox", inbox);
  }

  bool StartSessionBus() {
    const std::string socket = home.Path() + "/bus";
    bus = std::make_unique<ChildProcess>(
        "/usr/bin/dbus-daemon",
        std::vector<std::string>{"--session", "--nofork", "--nopidfile", "--address=unix:path=" + socket},
        std::map<std::string, std::string>{});
    busAddress = "unix:path=" + socket;
    return WaitFor([&] { return fs::exists(socket); }, std::chrono::seconds(10));
  }

  bool StartWindowManager() {
    windowManager = std::make_unique<ChildProcess>("/usr/bin/openbox", std::vector<std::string>{"--sm-disable"},
                                                   std::map<std::string, std::string>{{"HOME", home.Path()}});
    return WaitFor(
        [&] {
          std::string output;
          driver.RunCommand("timeout 5 xprop -root _NET_SUPPORTING_WM_CHECK", &output);
          return output.find("window id") != std::string::npos;
        },
        std::chrono::seconds(20));
  }

  std::string Title(Desktop::Window id) {
    std::string title;
    driver.RunCommand("timeout 5 xdotool getwindowname " + std::to_string(id), &title);
    return title;
  }

  // Opens the Inbox and selects one message with the keyboard, as a user
  // would: F6 moves between the panes.
  bool SelectMessage(Desktop::Window main) {
    const std::string id = std::to_string(main);
    for (int attempt = 0; attempt < 6; ++attempt) {
      driver.PressKeys(id, {"F6", "Right", "Down"});
      if (WaitFor([&] { return Title(main).rfind("받은 편지함", 0) == 0; }, std::chrono::seconds(2))) {
        return driver.PressKeys(id, {"F6", "End"});
      }
    }
    return false;
  }

  TempDir profile, home;
  X11Desktop desktop;
  test::DesktopDriver driver;
  std::unique_ptr<ChildProcess> bus, windowManager, thunderbird;
  std::string busAddress;
};

TEST_P(ThunderbirdCaptureTest, CapturesTheSelectedMessageAndSendsIt) {
  const bool withWindowManager = GetParam();
  WriteProfile();
  ASSERT_TRUE(StartSessionBus());
  if (withWindowManager) {
    ASSERT_TRUE(StartWindowManager());
  }
  thunderbird =
      std::make_unique<ChildProcess>(kThunderbird, std::vector<std::string>{"--no-remote", "--profile", profile.Path()},
                                     std::map<std::string, std::string>{{"DBUS_SESSION_BUS_ADDRESS", busAddress},
                                                                        {"HOME", home.Path()},
                                                                        {"XDG_CACHE_HOME", home.Path() + "/cache"},
                                                                        {"XDG_CONFIG_HOME", home.Path() + "/config"},
                                                                        {"MOZ_CRASHREPORTER_DISABLE", "1"}});
  Desktop::Window main = 0;
  ASSERT_TRUE(WaitFor([&] { return (main = desktop.FindTopLevel(kThunderbirdMain)) != 0; }, std::chrono::seconds(90)))
      << "Thunderbird's main window did not appear";
  // The user has copied some words in another program.
  UserClipboard words("사용자가 복사한 글");
  ASSERT_TRUE(WaitFor([&] { return desktop.ReadSelectionText("CLIPBOARD") == words.Text(); }));
  ASSERT_TRUE(SelectMessage(main)) << "the Inbox could not be opened with the keyboard";
  const std::string id = std::to_string(main);

  const auto start = std::chrono::steady_clock::now();
  Press(ReportWindow::kCapture);
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  std::printf("capture from Thunderbird (%s window manager): %lld ms\n", withWindowManager ? "with" : "without",
              static_cast<long long>(elapsed));
  EXPECT_LE(elapsed, 8000);

  ASSERT_EQ(sink.Count(), 0u) << sink.Texts()[0];
  AttachmentList* list = window->GetAttachmentList();
  ASSERT_EQ(list->Count(), 1);
  const AttachmentEntry& row = list->Entry(0);
  const std::string name = row.name.utf8_string();
  EXPECT_TRUE(std::regex_search(name, std::regex("[0-9A-F]{4}\\.eml$"))) << name;
  EXPECT_EQ(fs::path(row.path.utf8_string()).parent_path(), fs::path(programDir.Path() + "/temp"));

  if (const char* shots = std::getenv("VERADEX_SHOT_DIR")) {
    WaitFor([] { return false; }, std::chrono::milliseconds(300));
    driver.Screenshot(std::string(shots) + (withWindowManager ? "/capture-openbox.png" : "/capture.png"));
  }

  // The saved file is the message as it was received, less Return-Path.
  const std::string saved = test::ReadFileBytes(row.path.utf8_string());
  // End selected the older message, the one with the Korean subject.
  EXPECT_EQ(Normalised(saved), Normalised(WithoutReturnPath(kMessages[0])));
  EXPECT_EQ(name.rfind("한글 광고 - Spammer", 0), 0u) << name;
  // The path was pasted, and the user's words are on the clipboard again.
  EXPECT_EQ(desktop.ReadSelectionText("CLIPBOARD"), words.Text());

  // And a send delivers it to the centre.
  window->GetEdit(ReportWindow::kContent)->ChangeValue(wxString::FromUTF8("대출 광고 메일입니다."));
  window->EmailReport().OnSend();
  ASSERT_TRUE(WaitFor([&] { return !window->EmailReport().IsSending(); }, std::chrono::seconds(30)));
  ASSERT_TRUE(WaitFor([&] { return sink.Count() > 0; }, std::chrono::seconds(5)));
  EXPECT_EQ(sink.Texts().back(), ReportTexts::Get(ReportTexts::kReportReceived));
  const auto uploads = centre.Centre().RequestsTo(test::TestReportCentre::kUploadPath);
  ASSERT_EQ(uploads.size(), 1u);
  EXPECT_NE(uploads[0].Body().find(saved), std::string::npos);
  ASSERT_TRUE(WaitFor([&] { return list->Count() == 0; }));

  // Both messages selected: the client asks for a folder; that dialog is
  // closed again and the user asked to select one message.
  ASSERT_TRUE(driver.PressKeys(id, {"ctrl+a"}));
  sink.Clear();
  Press(ReportWindow::kCapture);
  EXPECT_EQ(sink.Texts(), std::vector<std::string>{MailClientCapture::WrongSelectionText()});
  EXPECT_EQ(list->Count(), 0);
  EXPECT_TRUE(WaitFor([&] { return desktop.FindTopLevel(kThunderbirdFolderChooser) == 0; }, std::chrono::seconds(2)));

  // One message again, and words the user copied in the report window
  // itself: they are on the clipboard after the capture too.
  ASSERT_TRUE(driver.PressKeys(id, {"End"}));
  const wxString ownWords = wxString::FromUTF8("신고 창에서 복사한 글");
  // The clipboard owns what it is given until it lets go of it.
  struct OwnWords : wxTextDataObject {
    OwnWords(const wxString& text, bool* gone) : wxTextDataObject(text), gone_(gone) {}
    ~OwnWords() override { *gone_ = true; }
    bool* gone_;
  };
  bool ownWordsGone = false;
  {
    wxClipboardLocker locker;
    ASSERT_FALSE(!locker);
    wxTheClipboard->SetData(new OwnWords(ownWords, &ownWordsGone));
  }
  Press(ReportWindow::kCapture);
  EXPECT_EQ(list->Count(), 1);
  wxTextDataObject copied;
  {
    wxClipboardLocker locker;
    ASSERT_FALSE(!locker);
    EXPECT_TRUE(wxTheClipboard->GetData(copied));
    wxTheClipboard->Clear();
  }
  EXPECT_EQ(copied.GetText(), ownWords);
  EXPECT_TRUE(WaitFor([&] { return ownWordsGone; }, std::chrono::seconds(5)));
}

INSTANTIATE_TEST_SUITE_P(WindowManager, ThunderbirdCaptureTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& param) {
                           return param.param ? std::string("WithOpenbox") : std::string("WithoutWindowManager");
                         });

}  // namespace
}  // namespace veradex
