// The Winsock side of ServerSocket; ServerSocketPosix.cpp is the POSIX one.
#include "centre/ServerSocket.h"

// clang-format off
#include <winsock2.h>  // before windows.h, which would bring the old Winsock
#include <ws2tcpip.h>
#include <windows.h>
// clang-format on

#include <cstdint>

namespace veradex::centre {

namespace {

SOCKET Native(int socket) { return static_cast<SOCKET>(static_cast<std::intptr_t>(socket)); }

}  // namespace

void ServerSocket::StartUp() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}

int ServerSocket::Listen(int port, int* boundPort) {
  const SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
  if (listener == INVALID_SOCKET) return kNone;
  // Windows lets SO_REUSEADDR take a port another socket listens on: exclusive use instead.
  const int exclusive = 1;
  setsockopt(listener, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, SOMAXCONN) != 0) {
    closesocket(listener);
    return kNone;
  }
  int length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  *boundPort = ntohs(address.sin_port);
  return static_cast<int>(listener);
}

int ServerSocket::Accept(int listener) {
  const SOCKET connection = accept(Native(listener), nullptr, nullptr);
  if (connection == INVALID_SOCKET) return kNone;
  // An accepted socket inherits the listener's mode; the server's reads block.
  u_long blocking = 0;
  ioctlsocket(connection, FIONBIO, &blocking);
  return static_cast<int>(connection);
}

void ServerSocket::Close(int socket) { closesocket(Native(socket)); }

void ServerSocket::ShutdownWrite(int socket) { shutdown(Native(socket), SD_SEND); }

void ServerSocket::ShutdownBoth(int socket) { shutdown(Native(socket), SD_BOTH); }

int ServerSocket::WaitReadable(int socket, int timeoutMs) {
  WSAPOLLFD entry{};
  entry.fd = Native(socket);
  entry.events = POLLRDNORM;
  return WSAPoll(&entry, 1, timeoutMs);
}

bool ServerSocket::WaitHangUp(int socket, int timeoutMs) {
  // Winsock has no wait for the end alone: bytes that wait unread make the
  // socket readable, so look at the end without taking them.
  WSAPOLLFD entry{};
  entry.fd = Native(socket);
  entry.events = POLLRDNORM;
  if (WSAPoll(&entry, 1, timeoutMs) <= 0) return false;
  if ((entry.revents & (POLLHUP | POLLERR)) != 0) return true;
  char peek[1];
  u_long pending = 0;
  ioctlsocket(Native(socket), FIONREAD, &pending);
  if (pending > 0) {
    Sleep(static_cast<DWORD>(timeoutMs));
    return false;
  }
  return recv(Native(socket), peek, 1, MSG_PEEK) <= 0;
}

long ServerSocket::Send(int socket, const void* bytes, long length) {
  return send(Native(socket), static_cast<const char*>(bytes), static_cast<int>(length), 0);
}

long ServerSocket::Receive(int socket, void* buffer, long capacity) {
  return recv(Native(socket), static_cast<char*>(buffer), static_cast<int>(capacity), 0);
}

void ServerSocket::SetNoDelay(int socket) {
  const int noDelay = 1;
  setsockopt(Native(socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
}

void ServerSocket::SetReceiveBuffer(int socket, int bytes) {
  setsockopt(Native(socket), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes), sizeof bytes);
}

void ServerSocket::SetMaxSegment(int, int) {
  // Winsock offers no way to choose it; the receive buffer alone sets the window.
}

void ServerSocket::SetIoTimeout(int socket, int seconds) {
  const DWORD limit = static_cast<DWORD>(seconds) * 1000;
  setsockopt(Native(socket), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
  setsockopt(Native(socket), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
}

void ServerSocket::SetResetOnClose(int socket) {
  const linger abort{1, 0};
  setsockopt(Native(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
}

}  // namespace veradex::centre
