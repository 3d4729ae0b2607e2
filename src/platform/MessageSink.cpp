#include "platform/MessageSink.h"

#include <atomic>
#include <cstdio>

#include "platform/Cp949.h"

namespace veradex {

namespace {

class StandardErrorSink : public MessageSink {
 public:
  int ShowMessage(const std::string& text, unsigned style) override {
    // The text is code page 949; the terminal reads UTF-8.
    std::fprintf(stderr, "veradex: %s\n", static_cast<const char*>(Cp949::ToWx(text).utf8_str()));
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
