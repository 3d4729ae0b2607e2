#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>

#include "platform/SocketLayer.h"
#include "support/LoopbackSocket.h"

namespace veradex::test {

namespace {

SOCKET Native(int socket) { return static_cast<SOCKET>(static_cast<std::intptr_t>(socket)); }

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

}  // namespace

int LoopbackSocket::ClosedPort() {
  int port = 0;
  const int s = Listen(&port);
  Close(s);
  return port;
}

int LoopbackSocket::Listen(int* port) {
  SocketLayer::Start();
  const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = Loopback(0);
  if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 4) != 0) {
    if (s != INVALID_SOCKET) closesocket(s);
    return -1;
  }
  int length = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  *port = ntohs(address.sin_port);
  return static_cast<int>(s);
}

int LoopbackSocket::Accept(int listener) {
  const SOCKET s = accept(Native(listener), nullptr, nullptr);
  return s == INVALID_SOCKET ? -1 : static_cast<int>(s);
}

int LoopbackSocket::Connect(int port) {
  SocketLayer::Start();
  const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  const sockaddr_in address = Loopback(port);
  if (s != INVALID_SOCKET && connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
    return static_cast<int>(s);
  if (s != INVALID_SOCKET) closesocket(s);
  return -1;
}

long LoopbackSocket::Receive(int socket, char* buffer, long capacity) {
  return recv(Native(socket), buffer, static_cast<int>(capacity), 0);
}

void LoopbackSocket::SetReceiveTimeout(int socket, int seconds) {
  const DWORD limit = static_cast<DWORD>(seconds) * 1000;
  setsockopt(Native(socket), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
}

void LoopbackSocket::Close(int socket) { closesocket(Native(socket)); }

}  // namespace veradex::test
