#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "report/ReportObserver.h"

namespace veradex {

class EmailReportPanel;

// Carries the report worker's notices to the report window's e-mail report
// view: every call but the clean-up of the temporary folder is handed to the
// GUI thread in order.
// A worker's message box is shown there by MessageSink::Current() while the
// worker waits for the user's answer. The object and its sending flag
// outlive the window while a worker may still hold them (the window then
// only detaches itself); once detached, nothing more reaches the GUI, whose
// application object may be gone by then: messages are refused unseen.
class ReportWindowObserver : public ReportObserver {
 public:
  explicit ReportWindowObserver(EmailReportPanel* view);

  // The flag the worker clears at the end of a run.
  std::atomic<bool> sending{false};

  // The program directory (code page 949) whose temp folder the worker
  // empties after a successful report (set before a start).
  void SetProgramDir(const std::string& cp949ProgramDir);
  // The view (and its window) is going away: later notices are dropped.
  void Detach();

  int ShowMessage(const std::string& text, unsigned style) override;
  void OnProgress(int percent) override;
  void OnCleanTempFolder() override;
  void OnRunEnded() override;
  void OnAttachmentsCleared() override;
  void OnAttachmentsReceived(const std::vector<std::size_t>& received) override;
  void OnAttachmentCountChanged() override;
  void OnRunResult(const SendResult& result) override;

 private:
  struct Link {
    // Held by a worker while it hands a notice to the application, and by
    // Detach: no notice is queued once the window (and with it, at the end
    // of the program, the application) is going.
    std::mutex mutex;
    EmailReportPanel* view = nullptr;
  };
  template <typename F>
  void Post(F action);

  std::shared_ptr<Link> link_;
  std::string programDir_;
};

}  // namespace veradex
