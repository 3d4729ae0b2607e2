#pragma once

#include <wx/app.h>

#include <memory>

#include "app/StartupSequence.h"
#include "ui/skin/SkinMessageSink.h"

namespace veradex {

class TrayWindow;

// The application object: runs start-up when the toolkit is ready, and
// shutdown when the message loop ends or start-up stops. It owns the tray
// window, which owns every other window of the program.
//
// The report window's tooltips are the toolkit's own (each control carries
// its tip), so no message relay is needed here.
class ReportApp : public wxApp {
 public:
  ReportApp();
  ~ReportApp() override;

  // Start-up. False ends the process (OnExit still runs).
  bool OnInit() override;
  // Shutdown: removes the icon, destroys the tray window (and with it the
  // report window and the settings dialog), releases the marker and the
  // profile. Returns the process exit code, 0 in every path.
  int OnExit() override;

  TrayWindow* Tray() const { return tray_; }

  // A release build reports a failed toolkit assertion on standard error and
  // in the assertion log and goes on (AssertionLog); a debug build keeps the
  // toolkit's dialog. True when the handler was installed.
  static bool InstallAssertHandler();

 private:
  SkinMessageSink messageSink_;
  std::unique_ptr<StartupSequence> startup_;
  TrayWindow* tray_ = nullptr;
};

}  // namespace veradex

wxDECLARE_APP(veradex::ReportApp);
