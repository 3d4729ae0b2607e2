#pragma once

#include <chrono>
#include <cstdint>
#include <string>

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

namespace veradex {

// One TCP connection to a server, optionally wrapped in TLS, offering one-call
// send and receive. Every exchange builds its own connection, uses it for one
// request and one response and ends it with Shutdown().
//
// The socket is non-blocking for its whole life: the connect waits at most the
// connect time-out, and every wait for the server (TLS handshake, each read,
// each write that cannot go out at once) at most the receive time-out, so a
// silent server never freezes the caller. A time-out of 0 waits without limit.
//
// With TLS the server's certificate chain is verified against the system's
// trusted authorities (plus caFile when it names a PEM file), its name must
// match the host connected to, the host name goes out as SNI, and nothing
// older than TLS 1.2 is offered. A refused certificate fails Connect() before
// a single byte of the request is written.
class HttpConnection {
 public:
  HttpConnection(bool useTls, int connectTimeout, int receiveTimeout, std::string caFile = std::string());
  ~HttpConnection();
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;

  // 1 = connected (and, with TLS, the handshake done and the certificate
  // accepted); -1 = failure. Never 0.
  int Connect(const std::string& host, int port);
  // Writes all `length` bytes; returns length, or -1 on failure.
  int Send(const char* bytes, int length);
  // One read of at most `capacity` bytes; returns the count (> 0) or -1 when
  // the peer ended the connection, an error occurred or the receive time-out
  // passed. The buffer is not terminated.
  int Receive(char* buffer, int capacity);
  // Closes the socket and frees the TLS session; closing twice does nothing.
  void Close();
  // Close(), then the socket library clean-up balancing the construction.
  void Shutdown();

 private:
#ifdef _WIN32
  using NativeSocket = std::uintptr_t;
#else
  using NativeSocket = int;
#endif
  using Clock = std::chrono::steady_clock;
  enum class Wait { kRead, kWrite };

  // The moment a wait that starts now must end; Clock::time_point::max() when
  // the time-out is 0 (no limit).
  static Clock::time_point Deadline(int timeoutSeconds);
  // Waits until the socket is ready or the deadline passes; false on
  // time-out or error.
  bool WaitReady(Wait what, Clock::time_point deadline);
  bool OpenSocket(const std::string& host, int port);
  bool Handshake(const std::string& host);
  bool HasSocket() const;

  NativeSocket socket_;
  int connectTimeout_;
  int receiveTimeout_;
  bool useTls_;
  std::string caFile_;
  SSL_CTX* tlsContext_ = nullptr;
  SSL* tlsSession_ = nullptr;
  bool started_ = false;
  bool shutDown_ = false;
};

}  // namespace veradex
