#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/MessageSink.h"

namespace veradex::test {

// Records every message instead of showing it, and answers with a chosen
// result. Safe to call from any thread.
class RecordingMessageSink : public MessageSink {
 public:
  struct Message {
    std::string text;
    unsigned style;
  };

  int ShowMessage(const std::string& text, unsigned style) override;

  std::vector<Message> Messages() const;
  std::vector<std::string> Texts() const;
  std::size_t Count() const;
  void Clear();
  // The answer to give from now on (default: OK, or Yes for a Yes/No box).
  void SetAnswer(int answer);

 private:
  mutable std::mutex mutex_;
  std::vector<Message> messages_;
  int answer_ = 0;
};

// Sets a sink as MessageSink::Current() for the lifetime of the object.
class ScopedMessageSink {
 public:
  explicit ScopedMessageSink(MessageSink* sink) { MessageSink::SetCurrent(sink); }
  ~ScopedMessageSink() { MessageSink::SetCurrent(nullptr); }
};

}  // namespace veradex::test
