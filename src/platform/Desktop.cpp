#include "platform/Desktop.h"

#include <chrono>
#include <thread>

namespace veradex {

namespace {

// Where no window system can be driven: nothing is ever found.
class NoDesktop : public Desktop {
 public:
  Window FindTopLevel(MailClientWindow) override { return 0; }
  bool BringToFront(Window) override { return false; }
  void BringOwnWindowToFront() override {}
  void SetTopMost(bool) override {}
  void PressKey(Key) override {}
  void ReleaseKey(Key) override {}
  std::string ReadNameField(Window) override { return std::string(); }
  bool SetNameField(Window, const std::string&) override { return false; }
  void Pause(int milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
  long long NowMilliseconds() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

}  // namespace

std::unique_ptr<Desktop> Desktop::CreateNone() { return std::make_unique<NoDesktop>(); }

}  // namespace veradex
