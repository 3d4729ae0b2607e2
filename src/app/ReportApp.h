#pragma once

#include <wx/app.h>

#include <memory>

#include "app/StartupSequence.h"

namespace veradex {

// The application object: runs start-up when the toolkit is ready, and
// shutdown when the message loop ends or start-up stops.
class ReportApp : public wxApp {
 public:
  ReportApp();
  ~ReportApp() override;

  // Start-up. False ends the process (OnExit still runs).
  bool OnInit() override;
  // Shutdown; returns the process exit code, 0 in every path.
  int OnExit() override;

 private:
  std::unique_ptr<StartupSequence> startup_;
};

}  // namespace veradex

wxDECLARE_APP(veradex::ReportApp);
