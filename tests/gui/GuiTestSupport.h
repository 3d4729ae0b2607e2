#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/window.h>

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

// Destroys a window and runs the event loop until it is gone, so that
// nothing it still has queued reaches a test fixture that has ended.
inline void DestroyAndWait(wxWindow* window) {
  window->Destroy();
  WaitFor([window] { return wxTheApp == nullptr || !wxTheApp->IsScheduledForDestruction(window); },
          std::chrono::seconds(5));
}

// The folder pictures for review go to (tools/screenshots.sh sets it); empty
// when none are wanted, and the screenshot tests then skip themselves.
inline std::string ScreenshotFolder() {
  const char* folder = std::getenv("VERADEX_SCREENSHOT_DIR");
  return folder != nullptr ? std::string(folder) : std::string();
}

// Shows the window, lets it paint, then copies its screen area, grown by
// margin on every side, into folder/name.png for a person to look at (the X
// server holds what the window painted: taken from the root window). The
// shell command, or empty when it failed.
inline std::string ShootWindow(wxWindow* window, const std::string& folder, const std::string& name, int margin = 0) {
  window->Show();
  window->Raise();
  WaitFor([window] { return window->IsShownOnScreen(); });
  for (int round = 0; round < 20; ++round) {
    window->Refresh();
    window->Update();
    WaitFor([] { return false; }, std::chrono::milliseconds(10));
  }
  const wxRect rect = window->GetScreenRect().Inflate(margin);
  const std::string command = "import -window root -crop " + std::to_string(rect.width) + "x" +
                              std::to_string(rect.height) + "+" + std::to_string(rect.x) + "+" +
                              std::to_string(rect.y) + " +repage '" + folder + "/" + name + ".png'";
  return std::system(command.c_str()) == 0 ? command : std::string();
}

// With a screenshot folder set (tools/screenshots.sh): the window's picture
// there as name.png. False only when a picture was asked for and not taken.
inline bool ShootIfAsked(wxWindow* window, const std::string& name, int margin) {
  const std::string folder = ScreenshotFolder();
  return folder.empty() || !ShootWindow(window, folder, name, margin).empty();
}

// How many processes below `root` (children, their children, ...) bear one
// of the names (as the kernel keeps them: at most 15 characters).
inline int DescendantsNamed(pid_t root, const std::set<std::string>& names) {
  std::map<long, std::pair<long, std::string>> processes;  // pid -> parent, name
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    const auto open = line.find('('), close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 2));
    std::string state;
    long parent = 0;
    rest >> state >> parent;
    processes[std::atol(line.c_str())] = {parent, line.substr(open + 1, close - open - 1)};
  }
  int count = 0;
  for (const auto& [pid, process] : processes) {
    if (names.count(process.second) == 0) continue;
    for (long up = process.first; up > 1;) {
      if (up == root) {
        ++count;
        break;
      }
      const auto found = processes.find(up);
      up = found == processes.end() ? 0 : found->second.first;
    }
  }
  return count;
}

}  // namespace veradex::test
