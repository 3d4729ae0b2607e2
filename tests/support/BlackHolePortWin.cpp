// BlackHolePort on Winsock (BlackHolePort.cpp is the POSIX one). Under Wine
// the host's kernel drops the surplus connects as on Linux; a real Windows
// refuses them instead once the backlog is full.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/SocketLayer.h"
#include "support/BlackHolePort.h"

namespace veradex::test {

namespace {

SOCKET Native(int socket) { return static_cast<SOCKET>(static_cast<std::intptr_t>(socket)); }

}  // namespace

BlackHolePort::BlackHolePort() {
  SocketLayer::Start();
  const SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
  listener_ = static_cast<int>(listener);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(listener, 0);
  int length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  // Fill the accept queue; the listener never takes anything from it.
  for (int i = 0; i < 4; ++i) {
    const SOCKET filler = socket(AF_INET, SOCK_STREAM, 0);
    u_long nonBlocking = 1;
    ioctlsocket(filler, FIONBIO, &nonBlocking);
    connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    fillers_.push_back(static_cast<int>(filler));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

BlackHolePort::~BlackHolePort() {
  for (const int filler : fillers_) closesocket(Native(filler));
  closesocket(Native(listener_));
}

}  // namespace veradex::test
