#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "report/ReportObserver.h"

namespace veradex::test {

// Records everything a submission worker tells the window, in order, as
// short event texts: "message:<text>", "progress:<n>", "clean", "ended",
// "cleared", "received:<i>,<j>...", "count". With a `sending` flag given, the end events also note
// its value ("cleared sending=0"). Safe to use from the worker thread.
class RecordingReportObserver : public ReportObserver {
 public:
  explicit RecordingReportObserver(const std::atomic<bool>* sending = nullptr) : sending_(sending) {}

  int ShowMessage(const std::string& text, unsigned style) override;
  void OnProgress(int position) override;
  void OnCleanTempFolder() override;
  void OnRunEnded() override;
  void OnAttachmentsCleared() override;
  void OnAttachmentsReceived(const std::vector<std::size_t>& received) override;
  void OnAttachmentCountChanged() override;

  std::vector<std::string> Events() const;
  // Events other than progress.
  std::vector<std::string> Milestones() const;
  std::vector<int> Progress() const;
  std::vector<std::string> Messages() const;
  // The thread of the last call.
  std::thread::id LastThread() const;
  // Waits until an event equal to `event` has been recorded.
  bool WaitFor(const std::string& event, int timeoutMilliseconds) const;

 private:
  void Record(const std::string& event);

  const std::atomic<bool>* sending_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<std::string> events_;
  std::thread::id lastThread_;
};

}  // namespace veradex::test
