#pragma once

#include <sys/types.h>

#include <string>

namespace veradex::test {

// A private X server (Xvfb, 1280x1024, 24 bits) for tests that run the whole
// program and act on its windows with real input: their clicks, focus and
// tray host then never meet the windows of tests running beside them.
// Optionally with a notification area (trayer at the top right).
class VirtualDisplay {
 public:
  explicit VirtualDisplay(bool withNotificationArea = false);
  ~VirtualDisplay();
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  // True when the server (and the tray host, when asked for) runs.
  bool Ok() const { return ok_; }
  // ":<number>"
  const std::string& Name() const { return name_; }

 private:
  bool StartTrayHost();

  std::string name_;
  pid_t serverPid_ = -1;
  pid_t trayPid_ = -1;
  bool ok_ = false;
};

}  // namespace veradex::test
