#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdint>

#include "support/LoopbackSocket.h"

namespace veradex::test {

namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
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
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = Loopback(0);
  if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 4) != 0) {
    if (s >= 0) close(s);
    return -1;
  }
  socklen_t length = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  *port = ntohs(address.sin_port);
  return s;
}

int LoopbackSocket::Accept(int listener) { return accept(listener, nullptr, nullptr); }

int LoopbackSocket::Connect(int port) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  const sockaddr_in address = Loopback(port);
  if (s >= 0 && connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return s;
  if (s >= 0) close(s);
  return -1;
}

long LoopbackSocket::Receive(int socket, char* buffer, long capacity) {
  return static_cast<long>(recv(socket, buffer, static_cast<std::size_t>(capacity), 0));
}

void LoopbackSocket::SetReceiveTimeout(int socket, int seconds) {
  const timeval limit{seconds, 0};
  setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
}

void LoopbackSocket::Close(int socket) { close(socket); }

}  // namespace veradex::test
