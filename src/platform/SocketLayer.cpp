#include "platform/SocketLayer.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <csignal>
#endif

namespace veradex {

bool SocketLayer::Start() {
#ifdef _WIN32
  // Once per process: every start is counted by Winsock and would want its own clean-up.
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
#else
  struct sigaction action {};
  action.sa_handler = SIG_IGN;
  sigemptyset(&action.sa_mask);
  return sigaction(SIGPIPE, &action, nullptr) == 0;
#endif
}

}  // namespace veradex
