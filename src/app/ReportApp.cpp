#include "app/ReportApp.h"

#include <utility>

#include "app/DialogPasswordPrompt.h"
#include "app/TrayWindow.h"
#include "platform/AssertionLog.h"
#include "platform/MessageSink.h"
#include "ui/settings/LoginDialog.h"
#include "ui/settings/PasswordSetupDialog.h"
#include "ui/skin/ResourceImages.h"

namespace veradex {

ReportApp::ReportApp() = default;

ReportApp::~ReportApp() = default;

bool ReportApp::InstallAssertHandler() {
#ifdef NDEBUG
  wxSetAssertHandler(&AssertionLog::Handler);
  return true;
#else
  return false;
#endif
}

bool ReportApp::OnInit() {
  // The program takes no command-line options, so the base class's option
  // parsing is left out on purpose.

  // Every message from here on, the second copy's included, is the skinned
  // message box.
  MessageSink::SetCurrent(&messageSink_);
  // The windows' images, decoded on the second processor while the first
  // window is made; what the start did not take is freed after it.
  ResourceImages::Prefetch();

  StartupSequence::Parts parts = StartupSequence::ProgramParts();
  parts.makeSetupDialog = []() -> std::unique_ptr<PasswordPrompt> {
    return std::make_unique<DialogPasswordPrompt<PasswordSetupDialog>>();
  };
  parts.makeLoginDialog = []() -> std::unique_ptr<PasswordPrompt> {
    return std::make_unique<DialogPasswordPrompt<LoginDialog>>();
  };
  parts.createTrayWindow = [this] {
    tray_ = new TrayWindow(TrayWindow::ProgramParts());
    SetTopWindow(tray_);
  };
  parts.installTrayIcon = [this] {
    if (tray_ != nullptr) tray_->InstallTrayIcon();
  };
  startup_ = std::make_unique<StartupSequence>(std::move(parts));
  const bool started = startup_->Run();
  ResourceImages::ReleasePrefetched();
  return started;
}

int ReportApp::OnExit() {
  if (tray_ != nullptr) {
    tray_->RemoveTrayIcon();
    // Destroys the report window and the settings dialog first.
    tray_->Destroy();
    tray_ = nullptr;
  }
  // The marker and the profile are released with the start-up sequence.
  startup_.reset();
  MessageSink::SetCurrent(nullptr);
  return wxApp::OnExit();
}

}  // namespace veradex
