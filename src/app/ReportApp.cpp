#include "app/ReportApp.h"

#include <cstdio>

namespace veradex {

ReportApp::ReportApp() = default;

ReportApp::~ReportApp() = default;

bool ReportApp::OnInit() {
  // The program takes no command-line options, so the base class's option
  // parsing is left out on purpose.
  startup_ = std::make_unique<StartupSequence>(StartupSequence::ProgramParts());
  if (!startup_->RunProfileSteps()) return false;

  // Next come the first-run password set-up or the start-up login, the tray
  // window, loading the personal data and the tray icon. Until those windows
  // exist the program stops here, saying so, rather than run without them.
  std::fprintf(stderr, "veradex: start-up stops after the profile steps; windows are not built yet\n");
  return false;
}

int ReportApp::OnExit() {
  // The marker and the profile are released with the start-up sequence.
  startup_.reset();
  return wxApp::OnExit();
}

}  // namespace veradex
