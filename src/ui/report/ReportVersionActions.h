#pragma once

#include "report/VersionActions.h"

namespace veradex {

// What the start-up version check does from the report window: messages in
// the program's message box, the download page in the user's browser, and an
// immediate end of the process.
class ReportVersionActions : public VersionActions {
 public:
  int ShowMessage(const std::string& text, unsigned style) override;
  void OpenUrl(std::string url) override;
  void ExitProcess(int code) override;
};

}  // namespace veradex
