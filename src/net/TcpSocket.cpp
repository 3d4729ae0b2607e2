#include "net/TcpSocket.h"

#include <algorithm>

namespace veradex {

TcpSocket::Clock::time_point TcpSocket::DeadlineAfter(int timeoutSeconds) {
  if (timeoutSeconds <= 0) return Clock::time_point::max();
  return Clock::now() + std::chrono::seconds(timeoutSeconds);
}

TcpSocket::Clock::time_point TcpSocket::IoDeadline() const {
  const Clock::time_point wait = DeadlineAfter(ioTimeout_);
  return deadline_ == nullptr ? wait : std::min(wait, deadline_->Limit());
}

bool TcpSocket::WaitReady(Wait what, Clock::time_point deadline) {
  if (!IsOpen()) return false;
  for (;;) {
    int timeoutMs = -1;
    if (deadline != Clock::time_point::max()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return false;
      timeoutMs = static_cast<int>(left) + 1;
    }
    bool interrupted = false;
    const int ready = PollOnce(what, timeoutMs, &interrupted);
    if (ready > 0) return true;  // ready, or an error the next call reports
    if (ready == 0) {
      if (deadline != Clock::time_point::max() && Clock::now() >= deadline) return false;
      continue;
    }
    if (!interrupted) return false;
  }
}

bool TcpSocket::Send(const char* bytes, int length) {
  if (!IsOpen() || length <= 0) return false;
  int written = 0;
  while (written < length) {
    const int result = TrySend(bytes + written, length - written);
    if (result > 0) {
      written += result;
    } else if (result != kWouldBlock || !WaitReady(Wait::kWrite, IoDeadline())) {
      return false;
    }
  }
  return true;
}

int TcpSocket::Receive(char* buffer, int capacity) {
  if (!IsOpen() || capacity <= 0) return -1;
  const auto deadline = IoDeadline();
  for (;;) {
    if (!WaitReady(Wait::kRead, deadline)) {
      Close();  // a silent peer: the connection is given up
      return -1;
    }
    const int result = TryReceive(buffer, capacity);
    if (result > 0) return result;
    if (result != kWouldBlock) return -1;
  }
}

}  // namespace veradex
