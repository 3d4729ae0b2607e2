#include "support/RecordingMessageSink.h"

namespace veradex::test {

int RecordingMessageSink::ShowMessage(const std::string& text, unsigned style) {
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.push_back({text, style});
  if (answer_ != 0) return answer_;
  return (style & 0x0F) == kMbYesNo ? kIdYes : kIdOk;
}

std::vector<RecordingMessageSink::Message> RecordingMessageSink::Messages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}

std::vector<std::string> RecordingMessageSink::Texts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> texts;
  for (const auto& message : messages_) texts.push_back(message.text);
  return texts;
}

std::size_t RecordingMessageSink::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_.size();
}

void RecordingMessageSink::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.clear();
}

void RecordingMessageSink::SetAnswer(int answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  answer_ = answer;
}

}  // namespace veradex::test
