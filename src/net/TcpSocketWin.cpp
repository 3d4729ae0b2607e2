// The Winsock side of TcpSocket; TcpSocketPosix.cpp is the POSIX one.
#include "net/TcpSocket.h"

// clang-format off
#include <winsock2.h>  // before windows.h, which would bring the old Winsock
#include <ws2tcpip.h>
#include <windows.h>
// clang-format on

#include <cstring>

#include "platform/SocketLayer.h"

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
  // Winsock must be started before the first call (once per process; the
  // program's start does it, a library user may not have).
  static const bool started = SocketLayer::Start();
  if (!started) return NetFailure{NetError::kConnect, "Winsock cannot be started"};
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
  if (ioctlsocket(Native(socket_), FIONBIO, &nonBlocking) != 0) {
    const std::string detail = SystemError("ioctlsocket FIONBIO");
    Close();
    return NetFailure{NetError::kConnect, detail};
  }
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
  // select rather than WSAPoll: older Windows 10 releases' WSAPoll never
  // reports a refused connect, which would then wait out the time-out. A
  // failed connect shows in the exception set.
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(Native(socket_), &ready);
  FD_SET(Native(socket_), &failed);
  timeval limit{};
  timeval* wait = nullptr;
  if (timeoutMs >= 0) {
    limit.tv_sec = timeoutMs / 1000;
    limit.tv_usec = (timeoutMs % 1000) * 1000;
    wait = &limit;
  }
  const int count =
      what == Wait::kRead ? select(0, &ready, nullptr, &failed, wait) : select(0, nullptr, &ready, &failed, wait);
  *interrupted = count == SOCKET_ERROR && WSAGetLastError() == WSAEINTR;
  return count;
}

void TcpSocket::Close() {
  if (!IsOpen()) return;
  closesocket(Native(socket_));
  socket_ = kNoSocket;
}

}  // namespace veradex
