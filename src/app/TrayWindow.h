#pragma once

#include <wx/frame.h>
#include <wx/icon.h>
#include <wx/timer.h>

#include <ctime>
#include <functional>
#include <memory>
#include <string>

#include "app/OwnedReportWindow.h"
#include "app/OwnedSettingsDialog.h"
#include "app/PasswordPrompt.h"
#include "report/OutboxSender.h"
#include "ui/report/ReportWindowHost.h"

class wxMenu;
class wxNotificationMessage;
class wxShowEvent;
class wxTaskBarIcon;

namespace veradex {

class HistoryWindow;
class Outbox;
class ReportHistory;

// The invisible top-level window that lives for the whole run: it owns the
// notification-area icon and its menu, the report window and the settings
// dialog. The icon's left click shows the report window, its right click pops
// up the tray menu; the menu opens the information pages in the user's
// browser, the settings behind the program password, and the exit question.
//
// Where the desktop has no notification area the icon cannot be clicked, so
// the report window is shown at start whatever the start-hidden preference
// says, the user is told once, and closing the window asks whether to exit
// (No shows it again) instead of leaving the program unreachable.
class TrayWindow : public wxFrame, public ReportWindowHost {
 public:
  // Mouse messages of the icon, as the classic notification callback names
  // them; OnTrayNotify takes these.
  enum MouseMessage : int { kLeftButtonUp = 0x202, kLeftButtonDoubleClick = 0x203, kRightButtonUp = 0x205 };
  static constexpr int kIconId = 1;
  static constexpr int kIconResource = 128;

  // What the tray window works with. The window factories are required for
  // the windows to exist; an empty seam means the system's own behaviour.
  struct Parts {
    // Makes the report window: no parent, created hidden, centred on the
    // screen, its tray link set to the given tray.
    std::function<std::unique_ptr<OwnedReportWindow>(ReportWindowHost& tray)> makeReportWindow;
    // Makes the settings dialog: no parent, created hidden, centred.
    std::function<std::unique_ptr<OwnedSettingsDialog>()> makeSettingsDialog;
    // Makes the login dialog asked before the settings.
    std::function<std::unique_ptr<PasswordPrompt>()> makeLoginDialog;
    // Opens a page (URL in code page 949) in the user's browser; returns
    // false when no browser could be started. Empty: the default browser.
    std::function<bool(const std::string& url)> openPage;
    // Whether the desktop has a notification area. Empty: asks the system.
    std::function<bool()> notificationAreaAvailable;
    // Pops up the menu, returning once it has closed; owner null means at
    // the icon. Empty: the toolkit's pop-up at the cursor.
    std::function<void(wxMenu& menu, wxWindow* owner)> popupMenu;
    // Ends the message loop. Empty: the application's main loop.
    std::function<void()> quit;
    // Where the reports are recorded and the history window reads; it must
    // outlive every report worker. Null: no history is kept.
    ReportHistory* history = nullptr;
    // Where reports wait until the centre can be reached; it must outlive
    // every round of tries. Null: no outbox.
    Outbox* outbox = nullptr;
    // Shows a notification of the tray (code page 949). Empty: the
    // desktop's notification.
    std::function<void(const std::string& text)> notify;
    // The clock of the outbox's tries. Empty: the system's.
    std::function<std::time_t()> clock;
  };

  // The running program's parts.
  static Parts ProgramParts();

  // Creates the window hidden and runs its initialisation: the window icon,
  // and, unless the start-hidden preference ("hide_at_run") is on, the
  // report window, created hidden.
  explicit TrayWindow(Parts parts);
  ~TrayWindow() override;

  // Destroys the report window and the settings dialog, then this window.
  bool Destroy() override;

  // Start-up's last step: shows the report window (or, the first time, only
  // creates it), keeps this window hidden and adds the icon with the tip
  // "Veradex". Without a notification area the report window is shown in
  // any case and the user is told once.
  void InstallTrayIcon();
  // Shutdown's first step.
  void RemoveTrayIcon();

  // Creates the report window on the first call (hidden); later calls show a
  // hidden window, reload its personal-data fields and warn when its
  // initialisation never completed. A shown (even minimised) window is left
  // alone.
  void ShowReportWindow();

  // The icon's callback: 0 for an icon id other than kIconId, else 1. Left
  // button up or double click shows the report window; right button up pops
  // up the tray menu; anything else does nothing.
  int OnTrayNotify(int iconId, int mouseMessage);

  // Runs a tray menu command (TrayMenu::Command); other ids are ignored.
  void RunCommand(int commandId);

  // What the report window asks of the tray (its settings and menu buttons).
  // The password is asked on every call, whatever "use_pw" says.
  void OpenSettings(int page) override;
  // The tray menu at the cursor, over the report window when it is shown.
  void PopupTrayMenu() override;
  // The tray menu at the cursor; owner null means at the icon. The chosen
  // command runs here once the menu has closed.
  void PopupTrayMenu(wxWindow* owner);

  // Shows the report history window ("신고 내역"), making it the first time.
  void ShowHistoryWindow();
  HistoryWindow* GetHistoryWindow() const { return historyWindow_; }

  // The outbox: every second the timer asks whether a round of tries is
  // due (at start, then 1, 2, 4 … minutes apart) and starts one on a thread
  // of its own unless one runs or the report window is sending; its end is
  // told in a notification and in the icon's tip.
  void OnOutboxTick();
  // "지금 보내기": a round now, whatever the schedule said.
  void SendWaitingNow();
  // A report went into the outbox from the report window.
  void OnReportKept();
  bool IsOutboxRoundRunning() const { return roundRunning_; }
  // The tip of the icon and the last notification (code page 949).
  const std::string& TrayTip() const { return tip_; }
  const std::string& LastNotice() const { return lastNotice_; }
  // Rounds of tries whose thread has not ended (the program's end must not
  // take the TLS library down under them).
  static int OutboxRoundsRunning();

  // Asks "종료하시겠습니까?" (question, Yes/No). Yes ends the message loop and
  // deletes the files in the report window's temp folder.
  void ConfirmExit();

  // The address of a page command's page (code page 949); empty for other ids.
  static std::string PageUrl(int commandId);

  OwnedReportWindow* ReportWindow() const { return reportWindow_.get(); }
  OwnedSettingsDialog* SettingsDialog() const { return settingsDialog_.get(); }
  bool IsIconInstalled() const;
  // True once the exit question was answered Yes.
  bool IsQuitting() const { return quitting_; }

  // Messages of the tray window, code page 949.
  static std::string NotInstalledText();
  static std::string AuthenticationFailedText();
  static std::string ExitQuestionText();
  static std::string NoNotificationAreaText();
  static std::string BrowserFailureText(const std::string& url);

 private:
  void OpenPage(int commandId);
  bool NotificationAreaAvailable() const;
  void WatchReportWindow();
  void OnReportWindowShow(wxShowEvent& event);
  void OnReportWindowHidden();
  void DestroyOwnedWindows();
  void StartOutboxRound();
  void OnOutboxRoundEnded(const OutboxSender::Round& round);
  void UpdateTrayTip();
  void Notify(const std::string& text);
  std::time_t NextOutboxTry() const;

  Parts parts_;
  wxIcon icon_;
  std::unique_ptr<wxTaskBarIcon> taskBarIcon_;
  std::unique_ptr<OwnedReportWindow> reportWindow_;
  std::unique_ptr<OwnedSettingsDialog> settingsDialog_;
  HistoryWindow* historyWindow_ = nullptr;
  // A password or exit question of the tray is open: further commands wait.
  bool busy_ = false;
  bool quitting_ = false;
  bool iconInstalled_ = false;
  bool noAreaTold_ = false;

  // What a round's thread shares with the tray; the tray lets go of it
  // when it goes, a running round keeps it.
  struct OutboxLink;
  std::shared_ptr<OutboxLink> outboxLink_;
  wxTimer outboxTimer_;
  bool roundRunning_ = false;
  std::string tip_ = "Veradex";
  std::string lastNotice_;
  std::unique_ptr<wxNotificationMessage> notification_;
};

}  // namespace veradex
