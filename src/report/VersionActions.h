#pragma once

#include <string>

#include "platform/MessageSink.h"

namespace veradex {

// What the version check does to the world: its messages (MessageSink),
// opening the download page in the user's browser and ending the process.
class VersionActions : public MessageSink {
 public:
  virtual void OpenUrl(std::string url) = 0;
  // Ends the process at once with the code; the normal shutdown does not run.
  virtual void ExitProcess(int code) = 0;
};

}  // namespace veradex
