#include "support/RecordingReportObserver.h"

#include <chrono>

namespace veradex::test {

void RecordingReportObserver::Record(const std::string& event) {
  std::lock_guard<std::mutex> lock(mutex_);
  events_.push_back(event);
  lastThread_ = std::this_thread::get_id();
  changed_.notify_all();
}

int RecordingReportObserver::ShowMessage(const std::string& text, unsigned style) {
  Record("message:" + text + (style == kStyleStop ? "" : " style=" + std::to_string(style)));
  return kIdOk;
}

void RecordingReportObserver::OnProgress(int position) { Record("progress:" + std::to_string(position)); }

void RecordingReportObserver::OnCleanTempFolder() { Record("clean"); }

void RecordingReportObserver::OnRunEnded() {
  Record(sending_ == nullptr ? "ended" : std::string("ended sending=") + (sending_->load() ? "1" : "0"));
}

void RecordingReportObserver::OnAttachmentsCleared() {
  Record(sending_ == nullptr ? "cleared" : std::string("cleared sending=") + (sending_->load() ? "1" : "0"));
}

void RecordingReportObserver::OnAttachmentsReceived(const std::vector<std::size_t>& received) {
  std::string event = "received:";
  for (std::size_t i = 0; i < received.size(); ++i) event += (i == 0 ? "" : ",") + std::to_string(received[i]);
  Record(event + (sending_ == nullptr ? "" : std::string(" sending=") + (sending_->load() ? "1" : "0")));
}

void RecordingReportObserver::OnAttachmentCountChanged() { Record("count"); }

std::vector<std::string> RecordingReportObserver::Events() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return events_;
}

std::vector<std::string> RecordingReportObserver::Milestones() const {
  std::vector<std::string> milestones;
  for (auto& event : Events()) {
    if (event.rfind("progress:", 0) != 0) milestones.push_back(event);
  }
  return milestones;
}

std::vector<int> RecordingReportObserver::Progress() const {
  std::vector<int> positions;
  for (auto& event : Events()) {
    if (event.rfind("progress:", 0) == 0) positions.push_back(std::stoi(event.substr(9)));
  }
  return positions;
}

std::vector<std::string> RecordingReportObserver::Messages() const {
  std::vector<std::string> messages;
  for (auto& event : Events()) {
    if (event.rfind("message:", 0) == 0) messages.push_back(event.substr(8));
  }
  return messages;
}

std::thread::id RecordingReportObserver::LastThread() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastThread_;
}

bool RecordingReportObserver::WaitFor(const std::string& event, int timeoutMilliseconds) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds), [&] {
    for (const auto& recorded : events_) {
      if (recorded == event) return true;
    }
    return false;
  });
}

}  // namespace veradex::test
