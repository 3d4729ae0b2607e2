#pragma once

#include <memory>
#include <string>

#include "net/ByteStream.h"
#include "net/NetError.h"
#include "net/TcpSocket.h"

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

namespace veradex {

// TLS over a connected TcpSocket. The server's certificate chain must lead to
// an authority the context trusts and name the host connected to (a DNS name,
// sent as SNI, or an IPv4 literal); a refused certificate fails the handshake
// before a single byte of the request is written. Every wait for the server
// (handshake, reads, writes) ends after the socket's I/O time-out.
class TlsStream : public ByteStream {
 public:
  explicit TlsStream(TcpSocket& socket) : socket_(socket) {}
  ~TlsStream() override { Close(); }
  TlsStream(const TlsStream&) = delete;
  TlsStream& operator=(const TlsStream&) = delete;

  // kCertificate when the server's certificate is refused, kTimeout when the
  // server does not finish the handshake in time, kConnect for any other
  // failure. On failure the stream and the socket are closed.
  NetResult<void> Handshake(const std::shared_ptr<SSL_CTX>& context, const std::string& host);

  bool Send(const char* bytes, int length) override;
  int Receive(char* buffer, int capacity) override;
  // Frees the session and closes the socket under it.
  void Close() override;

 private:
  // After a TLS call that returned `result`: waits for what the session asks
  // for; false when the session failed or the wait ran out.
  bool WaitForSession(int result, TcpSocket::Clock::time_point deadline);
  NetResult<void> Fail(NetFailure failure);
  void FreeSession();

  TcpSocket& socket_;
  SSL* session_ = nullptr;
};

}  // namespace veradex
