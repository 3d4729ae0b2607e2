#pragma once

#include "platform/MessageSink.h"

namespace veradex {

// Shows the core's messages in the skinned message box. Callable from any
// thread: on the GUI thread the box is shown at once; from another thread it
// is shown on the GUI thread and the caller waits until the user dismissed
// it, then gets the result. The application installs it at start with
// MessageSink::SetCurrent(&sink).
//
// A worker waiting here must not be waited for by the GUI thread (join it
// only after its messages are done), or both would wait for each other.
class SkinMessageSink : public MessageSink {
 public:
  int ShowMessage(const std::string& text, unsigned style) override;
};

}  // namespace veradex
