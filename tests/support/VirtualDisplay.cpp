#include "support/VirtualDisplay.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "support/DesktopDriver.h"

namespace veradex::test {

namespace {

void StopProcess(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  for (int i = 0; i < 200; ++i) {
    if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

void QuietOutput() {
  const int null = ::open("/dev/null", O_RDWR);
  if (null >= 0) {
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
  }
}

}  // namespace

VirtualDisplay::VirtualDisplay(bool withNotificationArea) {
  int fds[2];
  if (::pipe(fds) != 0) return;
  serverPid_ = ::fork();
  if (serverPid_ < 0) return;
  if (serverPid_ == 0) {
    ::close(fds[0]);
    // The server picks a free display and writes its number to the pipe.
    const int writeFd = fds[1] > 2 ? fds[1] : ::dup(fds[1]);
    QuietOutput();
    const std::string fd = std::to_string(writeFd);
    ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
             static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  std::string number;
  pollfd wait{fds[0], POLLIN, 0};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    if (::poll(&wait, 1, 100) <= 0) continue;
    char c;
    if (::read(fds[0], &c, 1) != 1) break;
    if (c == '\n') break;
    number += c;
  }
  ::close(fds[0]);
  if (number.empty()) return;
  name_ = ":" + number;
  ok_ = !withNotificationArea || StartTrayHost();
}

bool VirtualDisplay::StartTrayHost() {
  // A tray host that dies while starting (a busy machine) gets one more go.
  for (int attempt = 0; attempt < 2; ++attempt) {
    trayPid_ = ::fork();
    if (trayPid_ < 0) return false;
    if (trayPid_ == 0) {
      QuietOutput();
      ::setenv("DISPLAY", name_.c_str(), 1);
      ::execlp("trayer", "trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
               "--height", "32", "--transparent", "false", "--tint", "0x336699", "--SetDockType", "true",
               static_cast<char*>(nullptr));
      ::_exit(127);
    }
    // Up once its panel window is on screen.
    const DesktopDriver desktop(name_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool died = false;
    while (std::chrono::steady_clock::now() < deadline) {
      if (!desktop.FindWindows("panel").empty()) return true;
      if (::waitpid(trayPid_, nullptr, WNOHANG) == trayPid_) {
        died = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!died) StopProcess(trayPid_);
    trayPid_ = -1;
  }
  return false;
}

VirtualDisplay::~VirtualDisplay() {
  StopProcess(trayPid_);
  StopProcess(serverPid_);
}

}  // namespace veradex::test
