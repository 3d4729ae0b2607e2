#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "report/ReportObserver.h"

namespace veradex {

class ReportWindow;

// Carries the report worker's notices to the report window: every call but
// the message box and the clean-up of the temporary folder is handed to the
// GUI thread in order. Message boxes go to MessageSink::Current() from the
// worker's own thread, which waits there until the user has dismissed them.
// The object and its sending flag outlive the window while a worker may
// still hold them (the window then only detaches itself).
class ReportWindowObserver : public ReportObserver {
 public:
  explicit ReportWindowObserver(ReportWindow* window);

  // The flag the worker clears at the end of a run.
  std::atomic<bool> sending{false};

  // The folder the worker empties after a successful report (set before a start).
  void SetTempFolder(const std::string& folder);
  // The window is going away: later notices are dropped.
  void Detach();

  int ShowMessage(const std::string& text, unsigned style) override;
  void OnProgress(int percent) override;
  void OnCleanTempFolder() override;
  void OnRunEnded() override;
  void OnAttachmentsCleared() override;
  void OnAttachmentCountChanged() override;

 private:
  struct Link {
    ReportWindow* window = nullptr;
  };
  template <typename F>
  void Post(F action);

  std::shared_ptr<Link> link;
  std::string tempFolder;
};

}  // namespace veradex
