// The POSIX side of TcpSocket; TcpSocketWin.cpp is the Winsock one.
#include "net/TcpSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace veradex {

namespace {

bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == EINPROGRESS; }

std::string SystemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

NetResult<void> TcpSocket::Connect(const std::string& host, int port) {
  Close();
  socket_ = socket(AF_INET, SOCK_STREAM, 0);
  if (!IsOpen()) return NetFailure{NetError::kConnect, SystemError("socket")};

  const int reuse = 1;
  if (setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) != 0) {
    const std::string detail = SystemError("setsockopt SO_REUSEADDR");
    Close();
    return NetFailure{NetError::kConnect, detail};
  }
  // Every write goes out at once: the request follows the TLS handshake's
  // last flight without waiting for its acknowledgement.
  const int noDelay = 1;
  setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);

  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  const int resolved = host.empty() ? EAI_NONAME : getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
  if (resolved != 0 || found == nullptr) {
    return NetFailure{NetError::kResolve, "\"" + host + "\": " + gai_strerror(resolved)};
  }
  sockaddr_in address{};
  std::memcpy(&address, found->ai_addr, sizeof address);
  freeaddrinfo(found);

  fcntl(socket_, F_SETFL, fcntl(socket_, F_GETFL, 0) | O_NONBLOCK);
  if (connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    if (!WouldBlock()) return NetFailure{NetError::kConnect, std::strerror(errno)};
    if (!WaitReady(Wait::kWrite, DeadlineAfter(connectTimeout_))) {
      return NetFailure{NetError::kTimeout, "no connection within " + std::to_string(connectTimeout_) + " s"};
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(socket_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
      return NetFailure{NetError::kConnect, SystemError("getsockopt SO_ERROR")};
    }
    if (error != 0) return NetFailure{NetError::kConnect, std::strerror(error)};
  }
  return {};
}

int TcpSocket::TrySend(const char* bytes, int length) {
  // A vanished server must not raise SIGPIPE.
  const auto result = send(socket_, bytes, static_cast<std::size_t>(length), MSG_NOSIGNAL);
  if (result > 0) {
    if (deadline_ != nullptr) deadline_->Sent(result);
    return static_cast<int>(result);
  }
  return result < 0 && WouldBlock() ? kWouldBlock : kFailed;
}

int TcpSocket::TryReceive(char* buffer, int capacity) {
  const auto result = recv(socket_, buffer, static_cast<std::size_t>(capacity), 0);
  if (result >= 0) return static_cast<int>(result);
  return WouldBlock() ? kWouldBlock : kFailed;
}

int TcpSocket::PollOnce(Wait what, int timeoutMs, bool* interrupted) {
  pollfd entry{};
  entry.fd = socket_;
  entry.events = what == Wait::kRead ? POLLIN : POLLOUT;
  const int ready = poll(&entry, 1, timeoutMs);
  *interrupted = ready < 0 && errno == EINTR;
  return ready;
}

void TcpSocket::Close() {
  if (!IsOpen()) return;
  close(socket_);
  socket_ = kNoSocket;
}

}  // namespace veradex
