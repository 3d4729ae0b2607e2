#include "app/TrayWindow.h"

#include <wx/app.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/notifmsg.h>
#include <wx/taskbar.h>
#include <wx/utils.h>

#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "app/DialogPasswordPrompt.h"
#include "app/ReportWindowHolder.h"
#include "app/SettingsDialogHolder.h"
#include "app/TrayMenu.h"
#include "platform/Cp949.h"
#include "platform/MessageSink.h"
#include "platform/TempFolder.h"
#include "profile/Preferences.h"
#include "profile/ProfileStore.h"
#include "profile/ProgramPassword.h"
#include "profile/ServerSettings.h"
#include "report/Outbox.h"
#include "report/ReportHistory.h"
#include "report/RetrySchedule.h"
#include "ui/report/HistoryWindow.h"
#include "ui/settings/LoginDialog.h"
#include "ui/skin/ResourceImages.h"

namespace veradex {

namespace {

// Marks the tray as asking the user something for the life of the object.
class BusyScope {
 public:
  explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyScope() { flag_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& flag_;
};

std::atomic<int> outboxRounds{0};

}  // namespace

struct TrayWindow::OutboxLink {
  OutboxLink(Outbox& outbox, ReportHistory* history, RetrySchedule::Clock clock)
      : schedule(std::move(clock)), sender(outbox, schedule, history) {}
  std::mutex mutex;
  TrayWindow* tray = nullptr;  // null once the tray has gone
  std::atomic<bool> userSending{false};
  RetrySchedule schedule;
  OutboxSender sender;
};

int TrayWindow::OutboxRoundsRunning() { return outboxRounds.load(); }

TrayWindow::Parts TrayWindow::ProgramParts() {
  Parts parts;
  parts.makeReportWindow = [](ReportWindowHost& tray) -> std::unique_ptr<OwnedReportWindow> {
    return std::make_unique<ReportWindowHolder>(tray);
  };
  parts.makeSettingsDialog = []() -> std::unique_ptr<OwnedSettingsDialog> {
    return std::make_unique<SettingsDialogHolder>();
  };
  parts.makeLoginDialog = []() -> std::unique_ptr<PasswordPrompt> {
    return std::make_unique<DialogPasswordPrompt<LoginDialog>>();
  };
  // Lives as long as the process: a report worker may still record into it
  // while the program ends.
  static ReportHistory* const history = new ReportHistory();
  parts.history = history;
  static Outbox* const outbox = new Outbox();
  parts.outbox = outbox;
  return parts;
}

TrayWindow::TrayWindow(Parts parts)
    : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8("Veradex"), wxDefaultPosition, wxSize(464, 272),
              wxFRAME_NO_TASKBAR | wxBORDER_NONE),
      parts_(std::move(parts)) {
  // Created hidden; the user never sees this window.
  icon_ = ResourceImages::LoadIcon(kIconResource);
  if (icon_.IsOk()) SetIcon(icon_);

  taskBarIcon_ = std::make_unique<wxTaskBarIcon>();
#ifdef __WXMSW__
  taskBarIcon_->Bind(wxEVT_TASKBAR_LEFT_UP, [this](wxTaskBarIconEvent&) { OnTrayNotify(kIconId, kLeftButtonUp); });
#else
  // GTK reports a single click only as the button going down.
  taskBarIcon_->Bind(wxEVT_TASKBAR_LEFT_DOWN, [this](wxTaskBarIconEvent&) { OnTrayNotify(kIconId, kLeftButtonUp); });
#endif
  taskBarIcon_->Bind(wxEVT_TASKBAR_LEFT_DCLICK,
                     [this](wxTaskBarIconEvent&) { OnTrayNotify(kIconId, kLeftButtonDoubleClick); });
  // The context-menu request: the right button released, on every platform.
  taskBarIcon_->Bind(wxEVT_TASKBAR_CLICK, [this](wxTaskBarIconEvent&) { OnTrayNotify(kIconId, kRightButtonUp); });

  if (parts_.outbox != nullptr) {
    outboxLink_ = std::make_shared<OutboxLink>(*parts_.outbox, parts_.history, parts_.clock);
    outboxLink_->tray = this;
    outboxTimer_.SetOwner(this);
    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { OnOutboxTick(); }, outboxTimer_.GetId());
  }

  // Unless the window is to start hidden, make it now (still hidden);
  // InstallTrayIcon shows it once the personal data is loaded.
  if (!Preferences::Load(ProfileStore::Current()).hideAtRun) ShowReportWindow();
}

TrayWindow::~TrayWindow() {
  outboxTimer_.Stop();
  if (outboxLink_) {
    std::lock_guard<std::mutex> lock(outboxLink_->mutex);
    outboxLink_->tray = nullptr;
  }
  DestroyOwnedWindows();
  if (taskBarIcon_) {
    taskBarIcon_->RemoveIcon();
    taskBarIcon_.reset();
  }
}

bool TrayWindow::Destroy() {
  DestroyOwnedWindows();
  return wxFrame::Destroy();
}

void TrayWindow::DestroyOwnedWindows() {
  // The report window first, then the settings dialog, which only points to it.
  if (reportWindow_) {
    if (wxWindow* window = reportWindow_->Window()) window->Unbind(wxEVT_SHOW, &TrayWindow::OnReportWindowShow, this);
    reportWindow_.reset();
  }
  settingsDialog_.reset();
  if (historyWindow_ != nullptr) historyWindow_->Destroy();
  historyWindow_ = nullptr;
}

void TrayWindow::InstallTrayIcon() {
  ShowReportWindow();
  Hide();
  if (reportWindow_ && !NotificationAreaAvailable()) {
    // Nothing to click on: the report window is the way in, so it is shown
    // even when it was meant to start hidden (the first call above only
    // created it then).
    ShowReportWindow();
    if (!noAreaTold_) {
      noAreaTold_ = true;
      MessageSink::Current().ShowMessage(NoNotificationAreaText(), kStyleStop);
    }
  }
  // Added in any case: a notification area that appears later takes it up.
  if (taskBarIcon_) iconInstalled_ = taskBarIcon_->SetIcon(icon_, wxString::FromUTF8("Veradex"));
  if (outboxLink_) {
    UpdateTrayTip();
    const std::string damaged = parts_.outbox->TakeDamagedNotice();
    if (!damaged.empty()) Notify(damaged);
    // The first round comes with the first tick.
    outboxTimer_.Start(1000);
  }
}

void TrayWindow::OnOutboxTick() {
  if (!outboxLink_ || quitting_) return;
  // Between its reports a round looks at this: the user's own send goes first.
  outboxLink_->userSending = reportWindow_ && reportWindow_->IsSending();
  if (roundRunning_ || outboxLink_->userSending || !outboxLink_->schedule.IsDue()) return;
  if (parts_.outbox->WaitingCount() == 0) return;
  StartOutboxRound();
}

void TrayWindow::SendWaitingNow() {
  if (!outboxLink_) return;
  outboxLink_->schedule.TryNow();
  OnOutboxTick();
}

void TrayWindow::StartOutboxRound() {
  roundRunning_ = true;
  ++outboxRounds;
  std::shared_ptr<OutboxLink> link = outboxLink_;
  // A copy: the settings may be reloaded meanwhile.
  const ServerConfig servers = ServerSettings::Current();
  try {
    std::thread([link, servers] {
      const OutboxSender::Round round = link->sender.RunRound(servers, [link] { return link->userSending.load(); });
      {
        std::lock_guard<std::mutex> lock(link->mutex);
        if (link->tray != nullptr && wxTheApp != nullptr)
          wxTheApp->CallAfter([link, round] {
            if (link->tray != nullptr) link->tray->OnOutboxRoundEnded(round);
          });
      }
      --outboxRounds;
    }).detach();
  } catch (const std::system_error&) {
    // No thread now: the next tick tries again.
    roundRunning_ = false;
    --outboxRounds;
  }
}

void TrayWindow::OnOutboxRoundEnded(const OutboxSender::Round& round) {
  roundRunning_ = false;
  UpdateTrayTip();
  const std::string notice = OutboxSender::NoticeText(round);
  if (!notice.empty()) Notify(notice);
  if (historyWindow_ != nullptr && historyWindow_->IsShown()) historyWindow_->Reload();
}

void TrayWindow::OnReportKept() {
  if (!outboxLink_) return;
  // The centre could not be reached just now: the first try waits a minute.
  if (outboxLink_->schedule.IsDue()) outboxLink_->schedule.OnUnreachable();
  UpdateTrayTip();
  if (historyWindow_ != nullptr && historyWindow_->IsShown()) historyWindow_->Reload();
}

std::time_t TrayWindow::NextOutboxTry() const { return outboxLink_ ? outboxLink_->schedule.NextTry() : 0; }

void TrayWindow::UpdateTrayTip() {
  if (!outboxLink_) return;
  const std::string tip = OutboxSender::TipText(parts_.outbox->WaitingCount());
  if (tip == tip_) return;
  tip_ = tip;
  if (taskBarIcon_ && iconInstalled_) taskBarIcon_->SetIcon(icon_, Cp949::ToWx(tip_));
}

void TrayWindow::Notify(const std::string& text) {
  lastNotice_ = text;
  if (parts_.notify) return parts_.notify(text);
  notification_ = std::make_unique<wxNotificationMessage>(wxString::FromUTF8("Veradex"), Cp949::ToWx(text));
  notification_->Show(wxNotificationMessage::Timeout_Auto);
}

void TrayWindow::RemoveTrayIcon() {
  if (taskBarIcon_ && iconInstalled_) taskBarIcon_->RemoveIcon();
  iconInstalled_ = false;
}

bool TrayWindow::IsIconInstalled() const { return iconInstalled_; }

void TrayWindow::ShowReportWindow() {
  if (reportWindow_ && reportWindow_->IsWindowShown()) return;
  if (!reportWindow_) {
    if (!parts_.makeReportWindow) return;
    reportWindow_ = parts_.makeReportWindow(*this);
    if (reportWindow_) reportWindow_->SetReportHistory(parts_.history);
    if (reportWindow_ && parts_.outbox != nullptr) reportWindow_->SetOutbox(parts_.outbox, [this] { OnReportKept(); });
    WatchReportWindow();
    return;  // created hidden; the next call shows it
  }
  reportWindow_->ShowWindow();
  reportWindow_->LoadProfileFields();
  if (!reportWindow_->IsReady()) MessageSink::Current().ShowMessage(NotInstalledText(), kStyleStop);
}

int TrayWindow::OnTrayNotify(int iconId, int mouseMessage) {
  if (iconId != kIconId) return 0;
  switch (mouseMessage) {
    case kLeftButtonUp:
    case kLeftButtonDoubleClick:
      ShowReportWindow();
      break;
    case kRightButtonUp:
      PopupTrayMenu(nullptr);
      break;
    default:
      break;
  }
  return 1;
}

void TrayWindow::PopupTrayMenu() {
  wxWindow* owner = reportWindow_ && reportWindow_->IsWindowShown() ? reportWindow_->Window() : nullptr;
  PopupTrayMenu(owner);
}

void TrayWindow::PopupTrayMenu(wxWindow* owner) {
  if (busy_ || quitting_) return;
  std::unique_ptr<wxMenu> menu = TrayMenu::Create();
  // The command runs once the menu is gone, from the tray's own queue, so a
  // dialog it opens never sits under a closing menu.
  menu->Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
    const int command = TrayMenu::CommandOf(event.GetId());
    if (command == 0) {
      event.Skip();
      return;
    }
    CallAfter([this, command] { RunCommand(command); });
  });
  if (parts_.popupMenu) {
    parts_.popupMenu(*menu, owner);
  } else if (owner != nullptr) {
    owner->PopupMenu(menu.get());
  } else if (taskBarIcon_) {
    taskBarIcon_->PopupMenu(menu.get());
  }
}

void TrayWindow::RunCommand(int commandId) {
  switch (commandId) {
    case TrayMenu::kUsageGuide:
    case TrayMenu::kFaq:
    case TrayMenu::kHome:
      OpenPage(commandId);
      break;
    case TrayMenu::kPersonalSettings:
      OpenSettings(0);
      break;
    case TrayMenu::kProgramSettings:
      OpenSettings(1);
      break;
    case TrayMenu::kHistory:
      ShowHistoryWindow();
      break;
    case TrayMenu::kExit:
      ConfirmExit();
      break;
    default:
      break;
  }
}

void TrayWindow::ShowHistoryWindow() {
  if (parts_.history == nullptr || quitting_) return;
  if (historyWindow_ == nullptr) {
    historyWindow_ = new HistoryWindow(nullptr, *parts_.history, [this](const std::string& path) {
      if (!reportWindow_) ShowReportWindow();
      if (!reportWindow_) return false;
      ShowReportWindow();
      return reportWindow_->AddAttachment(path);
    });
    if (outboxLink_) {
      HistoryWindow::WaitingReports waiting;
      waiting.outbox = parts_.outbox;
      waiting.nextTry = [this] { return NextOutboxTry(); };
      waiting.sendNow = [this] { SendWaitingNow(); };
      waiting.isBeingSent = [this](const std::string& id) { return outboxLink_->sender.Current() == id; };
      waiting.changed = [this] { UpdateTrayTip(); };
      historyWindow_->SetWaitingReports(std::move(waiting));
    }
    historyWindow_->CentreOnScreen();
  }
  historyWindow_->Show();
  historyWindow_->Raise();
}

std::string TrayWindow::PageUrl(int commandId) {
  const ServerConfig& servers = ServerSettings::Current();
  switch (commandId) {
    case TrayMenu::kUsageGuide:
      return servers.InfoUrl("/ambrel/spam/jsp/spam_5010_01.jsp");
    case TrayMenu::kFaq:
      return servers.InfoUrl("/ambrel/spam/jsp/spam_faq_list.jsp");
    case TrayMenu::kHome:
      return servers.InfoUrl("");
    default:
      return std::string();
  }
}

void TrayWindow::OpenPage(int commandId) {
  const std::string url = PageUrl(commandId);
  if (url.empty()) return;
  bool opened;
  if (parts_.openPage) {
    opened = parts_.openPage(url);
  } else {
    wxLogNull quiet;  // the toolkit's own English complaint is replaced below
    opened = wxLaunchDefaultBrowser(Cp949::ToWx(url));
  }
  // Nothing may fail silently: without a browser the user still learns the
  // address.
  if (!opened) MessageSink::Current().ShowMessage(BrowserFailureText(url), kStyleStop);
}

void TrayWindow::OpenSettings(int page) {
  if (busy_ || quitting_) return;
  if (!parts_.makeLoginDialog) return;
  {
    // The password is asked on every call, whatever the start-up preference says.
    BusyScope busy(busy_);
    std::unique_ptr<PasswordPrompt> login = parts_.makeLoginDialog();
    if (!login || login->DoModal() != kIdOk) return;
    if (!ProgramPassword(ProfileStore::Current()).Matches(login->Password())) {
      MessageSink::Current().ShowMessage(AuthenticationFailedText(), kStyleStop);
      return;
    }
  }
  ProfileChangeListener* link = reportWindow_ ? reportWindow_->Link() : nullptr;
  if (!settingsDialog_) {
    if (!parts_.makeSettingsDialog) return;
    settingsDialog_ = parts_.makeSettingsDialog();
    if (!settingsDialog_) return;
    settingsDialog_->SetProfileChangeListener(link);
  }
  settingsDialog_->SelectPage(page);
  settingsDialog_->LoadPages();
  settingsDialog_->ShowDialog();
  settingsDialog_->SetProfileChangeListener(link);
}

void TrayWindow::ConfirmExit() {
  if (busy_ || quitting_) return;
  int answer;
  {
    BusyScope busy(busy_);
    answer = MessageSink::Current().ShowMessage(ExitQuestionText(), kStyleQuestion);
  }
  if (answer != kIdYes) return;
  quitting_ = true;
  if (parts_.quit) {
    parts_.quit();
  } else if (wxTheApp != nullptr) {
    wxTheApp->ExitMainLoop();
  }
  // Captured messages do not outlive the run; folders in there stay.
  if (reportWindow_) TempFolder::EmptyFiles(reportWindow_->ProgramDir());
}

bool TrayWindow::NotificationAreaAvailable() const {
  if (parts_.notificationAreaAvailable) return parts_.notificationAreaAvailable();
  return wxTaskBarIcon::IsAvailable();
}

void TrayWindow::WatchReportWindow() {
  if (!reportWindow_) return;
  if (wxWindow* window = reportWindow_->Window()) window->Bind(wxEVT_SHOW, &TrayWindow::OnReportWindowShow, this);
}

void TrayWindow::OnReportWindowShow(wxShowEvent& event) {
  event.Skip();
  if (!event.IsShown()) CallAfter(&TrayWindow::OnReportWindowHidden);
}

void TrayWindow::OnReportWindowHidden() {
  // With an icon to click, a hidden report window is where it belongs.
  if (quitting_ || !reportWindow_ || reportWindow_->IsWindowShown() || NotificationAreaAvailable()) return;
  ConfirmExit();
  if (!quitting_) ShowReportWindow();
}

std::string TrayWindow::NotInstalledText() {
  return Cp949::FromUtf8("정상적으로 인스톨이 되지 않았습니다.\n언인스톨후 다시 인스톨해주시기 바랍니다.");
}

std::string TrayWindow::AuthenticationFailedText() { return Cp949::FromUtf8("인증에 실패하였습니다."); }

std::string TrayWindow::ExitQuestionText() { return Cp949::FromUtf8("종료하시겠습니까?"); }

std::string TrayWindow::NoNotificationAreaText() {
  return Cp949::FromUtf8(
      "바탕화면에 알림 영역(트레이)이 없어 신고 창을 바로 표시합니다.\n"
      "창을 닫으면 프로그램을 종료할지 묻습니다.");
}

std::string TrayWindow::BrowserFailureText(const std::string& url) {
  return Cp949::FromUtf8("웹 브라우저를 열 수 없습니다.\n다음 주소를 직접 열어 주십시오.\n") + url;
}

}  // namespace veradex
