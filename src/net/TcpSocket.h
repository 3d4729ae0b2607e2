#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "net/ByteStream.h"
#include "net/Deadline.h"
#include "net/NetError.h"

namespace veradex {

// One IPv4 TCP connection. The socket is non-blocking for its whole life: the
// connect waits at most the connect time-out, and every later wait for the
// peer (each read, each write that cannot go out at once) at most the I/O
// time-out, so a silent server never freezes the caller. A time-out of 0
// waits without limit. The system's socket layer must have been started
// (SocketLayer::Start) before the first Connect.
//
// The operating system's side lives in TcpSocketPosix.cpp or TcpSocketWin.cpp;
// the build compiles the one that fits.
class TcpSocket : public ByteStream {
 public:
#ifdef _WIN32
  using NativeSocket = std::uintptr_t;
#else
  using NativeSocket = int;
#endif
  using Clock = std::chrono::steady_clock;
  enum class Wait { kRead, kWrite };
  // Outcomes of TrySend and TryReceive besides a byte count.
  static constexpr int kEnded = 0;        // the peer ended the connection (receive only)
  static constexpr int kFailed = -1;      // the connection failed
  static constexpr int kWouldBlock = -2;  // not ready: wait and try again

  TcpSocket(int connectTimeout, int ioTimeout) : connectTimeout_(connectTimeout), ioTimeout_(ioTimeout) {}
  ~TcpSocket() override { Close(); }
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // Resolves the host (kResolve), connects (kConnect when refused or the
  // socket cannot be set up, kTimeout when nothing answers in time).
  NetResult<void> Connect(const std::string& host, int port);

  bool Send(const char* bytes, int length) override;
  int Receive(char* buffer, int capacity) override;
  void Close() override;

  bool IsOpen() const { return socket_ != kNoSocket; }
  // One non-blocking write or read: the byte count, or one of the outcomes above.
  int TrySend(const char* bytes, int length);
  int TryReceive(char* buffer, int capacity);
  // Waits until the socket is ready or the deadline passes; false on time-out
  // or error.
  bool WaitReady(Wait what, Clock::time_point deadline);
  // The moment a wait of the I/O time-out that starts now must end, or the
  // exchange's deadline when that comes first; Clock::time_point::max() when
  // neither limits it.
  Clock::time_point IoDeadline() const;
  // The exchange's limits (may be null): every wait ends by its Limit, and
  // every write is counted in it. It must outlive the socket's use.
  void SetDeadline(Deadline* deadline) { deadline_ = deadline; }
  int IoTimeout() const { return ioTimeout_; }

  static Clock::time_point DeadlineAfter(int timeoutSeconds);

 private:
  static constexpr NativeSocket kNoSocket = static_cast<NativeSocket>(-1);

  // The system's readiness wait for at most timeoutMs (-1: no limit): > 0
  // ready, 0 nothing within the limit, < 0 an error (retried when merely
  // interrupted).
  int PollOnce(Wait what, int timeoutMs, bool* interrupted);

  NativeSocket socket_ = kNoSocket;
  int connectTimeout_;
  int ioTimeout_;
  Deadline* deadline_ = nullptr;
};

}  // namespace veradex
