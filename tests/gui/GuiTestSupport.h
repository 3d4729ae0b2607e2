#pragma once

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include <wx/app.h>
#include <wx/evtloop.h>

namespace veradex::test {

// Runs the event loop until condition() holds or the time-out passes; returns
// the last value of condition(). Never a fixed sleep: it returns as soon as
// the condition holds.
inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return condition();
    if (wxTheApp != nullptr) {
      wxEventLoopBase* loop = wxEventLoopBase::GetActive();
      if (loop != nullptr) {
        while (loop->Pending()) loop->Dispatch();
        loop->ProcessIdle();
      } else {
        wxTheApp->ProcessPendingEvents();
      }
      wxTheApp->Yield(true);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// The folder pictures for review go to (tools/screenshots.sh sets it); empty
// when none are wanted, and the screenshot tests then skip themselves.
inline std::string ScreenshotFolder() {
  const char* folder = std::getenv("VERADEX_SCREENSHOT_DIR");
  return folder != nullptr ? std::string(folder) : std::string();
}

}  // namespace veradex::test
