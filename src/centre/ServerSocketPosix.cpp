// The POSIX side of ServerSocket; ServerSocketWin.cpp is the Winsock one.
#include "centre/ServerSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>  // POLLRDHUP needs _GNU_SOURCE, which g++ defines
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>

namespace veradex::centre {

void ServerSocket::StartUp() { std::signal(SIGPIPE, SIG_IGN); }

int ServerSocket::Listen(int port, int* boundPort) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  if (listener < 0) return kNone;
  const int reuse = 1;
  setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, SOMAXCONN) != 0) {
    close(listener);
    return kNone;
  }
  socklen_t length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  *boundPort = ntohs(address.sin_port);
  return listener;
}

int ServerSocket::Accept(int listener) {
  const int connection = accept(listener, nullptr, nullptr);
  return connection < 0 ? kNone : connection;
}

void ServerSocket::Close(int socket) { close(socket); }

void ServerSocket::ShutdownWrite(int socket) { shutdown(socket, SHUT_WR); }

void ServerSocket::ShutdownBoth(int socket) { shutdown(socket, SHUT_RDWR); }

int ServerSocket::WaitReadable(int socket, int timeoutMs) {
  pollfd entry{socket, POLLIN, 0};
  return poll(&entry, 1, timeoutMs);
}

bool ServerSocket::WaitHangUp(int socket, int timeoutMs) {
  pollfd entry{socket, POLLRDHUP, 0};
  return poll(&entry, 1, timeoutMs) > 0 && (entry.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

long ServerSocket::Send(int socket, const void* bytes, long length) {
  return static_cast<long>(send(socket, bytes, static_cast<std::size_t>(length), MSG_NOSIGNAL));
}

long ServerSocket::Receive(int socket, void* buffer, long capacity) {
  return static_cast<long>(recv(socket, buffer, static_cast<std::size_t>(capacity), 0));
}

void ServerSocket::SetNoDelay(int socket) {
  const int noDelay = 1;
  setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
}

void ServerSocket::SetReceiveBuffer(int socket, int bytes) {
  setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
}

void ServerSocket::SetMaxSegment(int listener, int bytes) {
  setsockopt(listener, IPPROTO_TCP, TCP_MAXSEG, &bytes, sizeof bytes);
}

void ServerSocket::SetIoTimeout(int socket, int seconds) {
  const timeval limit{seconds, 0};
  setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

void ServerSocket::SetResetOnClose(int socket) {
  const linger abort{1, 0};
  setsockopt(socket, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
}

}  // namespace veradex::centre
