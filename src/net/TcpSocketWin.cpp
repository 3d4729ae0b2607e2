// The Winsock side of TcpSocket; TcpSocketPosix.cpp is the POSIX one.
#include "net/TcpSocket.h"

// clang-format off
#include <winsock2.h>  // before windows.h, which would bring the old Winsock
#include <ws2tcpip.h>
#include <windows.h>
// clang-format on

#include <cstring>

namespace veradex {

namespace {

bool WouldBlock() {
  const int error = WSAGetLastError();
  return error == WSAEWOULDBLOCK || error == WSAEINPROGRESS || error == WSAEINTR;
}

std::string SystemError(const char* what) {
  return std::string(what) + ": Winsock error " + std::to_string(WSAGetLastError());
}

SOCKET Native(TcpSocket::NativeSocket s) { return static_cast<SOCKET>(s); }

}  // namespace

NetResult<void> TcpSocket::Connect(const std::string& host, int port) {
  Close();
  socket_ = static_cast<NativeSocket>(socket(AF_INET, SOCK_STREAM, 0));
  if (!IsOpen()) return NetFailure{NetError::kConnect, SystemError("socket")};

  const int reuse = 1;
  if (setsockopt(Native(socket_), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse) != 0) {
    const std::string detail = SystemError("setsockopt SO_REUSEADDR");
    Close();
    return NetFailure{NetError::kConnect, detail};
  }
  // Every write goes out at once: the request follows the TLS handshake's
  // last flight without waiting for its acknowledgement.
  const int noDelay = 1;
  setsockopt(Native(socket_), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);

  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  const int resolved = host.empty() ? EAI_NONAME : getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
  if (resolved != 0 || found == nullptr) {
    return NetFailure{NetError::kResolve, "\"" + host + "\": error " + std::to_string(resolved)};
  }
  sockaddr_in address{};
  std::memcpy(&address, found->ai_addr, sizeof address);
  freeaddrinfo(found);

  u_long nonBlocking = 1;
  ioctlsocket(Native(socket_), FIONBIO, &nonBlocking);
  if (connect(Native(socket_), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    if (!WouldBlock()) return NetFailure{NetError::kConnect, "Winsock error " + std::to_string(WSAGetLastError())};
    if (!WaitReady(Wait::kWrite, DeadlineAfter(connectTimeout_))) {
      return NetFailure{NetError::kTimeout, "no connection within " + std::to_string(connectTimeout_) + " s"};
    }
    int error = 0;
    int length = sizeof error;
    if (getsockopt(Native(socket_), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) {
      return NetFailure{NetError::kConnect, SystemError("getsockopt SO_ERROR")};
    }
    if (error != 0) return NetFailure{NetError::kConnect, "Winsock error " + std::to_string(error)};
  }
  return {};
}

int TcpSocket::TrySend(const char* bytes, int length) {
  const int result = send(Native(socket_), bytes, length, 0);
  if (result > 0) {
    if (deadline_ != nullptr) deadline_->Sent(result);
    return result;
  }
  return result == SOCKET_ERROR && WouldBlock() ? kWouldBlock : kFailed;
}

int TcpSocket::TryReceive(char* buffer, int capacity) {
  const int result = recv(Native(socket_), buffer, capacity, 0);
  if (result >= 0) return result;
  return WouldBlock() ? kWouldBlock : kFailed;
}

int TcpSocket::PollOnce(Wait what, int timeoutMs, bool* interrupted) {
  WSAPOLLFD entry{};
  entry.fd = Native(socket_);
  entry.events = what == Wait::kRead ? POLLRDNORM : POLLWRNORM;
  const int ready = WSAPoll(&entry, 1, timeoutMs);
  *interrupted = ready == SOCKET_ERROR && WSAGetLastError() == WSAEINTR;
  return ready;
}

void TcpSocket::Close() {
  if (!IsOpen()) return;
  closesocket(Native(socket_));
  socket_ = kNoSocket;
}

}  // namespace veradex
