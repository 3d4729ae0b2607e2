#pragma once

#include <string>

#include "net/ByteStream.h"
#include "net/Deadline.h"
#include "net/NetError.h"
#include "net/TcpSocket.h"
#include "net/TlsStream.h"

namespace veradex {

// The stream one HTTP exchange runs over: a TcpSocket, wrapped in a TlsStream
// (trusting the system's authorities plus caFile, see TlsClientContext)
// unless TLS is off. Every exchange builds its own connection, uses it for
// one request and one response and lets it go. Its first Send starts the
// request and its first Receive the answer, for the deadline's limits.
class HttpConnection : public ByteStream {
 public:
  HttpConnection(bool useTls, int connectTimeout, int receiveTimeout, std::string caFile = std::string(),
                 Deadline deadline = Deadline());

  // kResolve, kConnect, kTimeout or kCertificate when no usable connection
  // was had.
  // With sessions, TLS sessions are resumed from and kept there (see
  // TlsSessionCache).
  NetResult<void> Connect(const std::string& host, int port, TlsSessionCache* sessions = nullptr);

  bool Send(const char* bytes, int length) override;
  bool Flush() override;
  int Receive(char* buffer, int capacity) override;
  void Close() override;

 private:
  Deadline deadline_;
  TcpSocket socket_;
  TlsStream tls_;
  bool useTls_;
  std::string caFile_;
  ByteStream* stream_;
};

}  // namespace veradex
