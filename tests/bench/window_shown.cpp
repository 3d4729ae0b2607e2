// Starts a program and times it from exec to the moment a top-level window
// with the given title and at least the given width is mapped on the
// display, then ends the program (SIGTERM) and waits for it.
// Usage: bench_window_shown <title> <min-width> <program> [arguments...]
// Prints "shown_ms: <milliseconds>"; exits 1 when no such window came within
// 60 seconds.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

std::string TitleOf(Display* display, Window window) {
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
          Success &&
      data != nullptr) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  if (title.empty()) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name != nullptr) {
      title = name;
      XFree(name);
    }
  }
  return title;
}

void End(pid_t child) {
  kill(child, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(child, nullptr, WNOHANG) == child) return;
    usleep(50 * 1000);
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s <title> <min-width> <program> [arguments...]\n", argv[0]);
    return 2;
  }
  const std::string title = argv[1];
  const int minWidth = std::atoi(argv[2]);
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "no display\n");
    return 2;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);

  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[3], argv + 3);
    _exit(127);
  }
  const int fd = ConnectionNumber(display);
  const Clock::time_point deadline = start + std::chrono::seconds(60);
  while (Clock::now() < deadline) {
    if (XPending(display) == 0) {
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(fd, &readable);
      timeval wait{0, 100 * 1000};
      select(fd + 1, &readable, nullptr, nullptr, &wait);
      if (waitpid(child, nullptr, WNOHANG) == child) {
        std::fprintf(stderr, "the program ended before its window was shown\n");
        return 1;
      }
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != MapNotify) continue;
    const Clock::time_point mapped = Clock::now();
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, event.xmap.window, &attributes) || attributes.width < minWidth) continue;
    if (TitleOf(display, event.xmap.window) != title) continue;
    std::printf("shown_ms: %.1f\n", std::chrono::duration<double, std::milli>(mapped - start).count());
    std::fflush(stdout);
    End(child);
    XCloseDisplay(display);
    return 0;
  }
  End(child);
  std::fprintf(stderr, "no window \"%s\" within 60 seconds\n", title.c_str());
  return 1;
}
