#include "platform/MessageSink.h"

#include <atomic>
#include <cstdio>

namespace veradex {

namespace {

class StandardErrorSink : public MessageSink {
 public:
  int ShowMessage(const std::string& text, unsigned style) override {
    std::fprintf(stderr, "veradex: %s\n", text.c_str());
    return (style & 0x0F) == kMbYesNo ? kIdYes : kIdOk;
  }
};

std::atomic<MessageSink*> currentSink{nullptr};

}  // namespace

MessageSink& MessageSink::Current() {
  MessageSink* sink = currentSink.load();
  if (sink != nullptr) return *sink;
  static StandardErrorSink fallback;
  return fallback;
}

void MessageSink::SetCurrent(MessageSink* sink) { currentSink.store(sink); }

}  // namespace veradex
