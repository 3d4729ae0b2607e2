#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "net/ByteStream.h"
#include "net/NetError.h"
#include "net/TcpSocket.h"
#include "net/TlsSessionCache.h"

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

namespace veradex {

// TLS over a connected TcpSocket. The server's certificate chain must lead to
// an authority the context trusts and name the host connected to (a DNS name,
// sent as SNI, or an IPv4 literal); a refused certificate fails the handshake
// before a single byte of the request is written. Every wait for the server
// (handshake, reads, writes) ends after the socket's I/O time-out.
//
// What is sent is gathered into full TLS records (16 KiB of payload) instead
// of one record per Send: the bytes are copied once, into the record being
// filled. The encrypted records in turn go to the socket in batches of
// several, at Flush(), or before the first read. Many small sends thus cost
// what one large one does.
class TlsStream : public ByteStream {
 public:
  // The socket under a session, and the encrypted records waiting for it.
  struct SocketLink {
    // Records gathered before one socket write.
    static constexpr std::size_t kBatchBytes = 128 * 1024;
    TcpSocket* socket = nullptr;
    std::vector<char> held;
    std::size_t sent = 0;    // leading bytes of `held` already written
    std::size_t writes = 0;  // socket writes made so far
  };

  explicit TlsStream(TcpSocket& socket) : socket_(socket) { link_.socket = &socket_; }
  ~TlsStream() override { Close(); }
  TlsStream(const TlsStream&) = delete;
  TlsStream& operator=(const TlsStream&) = delete;

  // kCertificate when the server's certificate is refused, kTimeout when the
  // server does not finish the handshake in time, kConnect for any other
  // failure. On failure the stream and the socket are closed.
  // With sessions, a session kept there for `server` is offered, and the
  // session this connection ends with is kept there for the next one.
  NetResult<void> Handshake(const std::shared_ptr<SSL_CTX>& context, const std::string& host,
                            TlsSessionCache* sessions = nullptr, const std::string& server = std::string());

  // The largest payload of one TLS record.
  static constexpr int kRecordPayload = 16384;

  bool Send(const char* bytes, int length) override;
  bool Flush() override;
  int Receive(char* buffer, int capacity) override;
  // Frees the session and closes the socket under it.
  void Close() override;
  // Socket writes made since the stream was made: how well records batch.
  std::size_t SocketWrites() const { return link_.writes; }

 private:
  // After a TLS call that returned `result`: waits for what the session asks
  // for; false when the session failed or the wait ran out.
  bool WaitForSession(int result, TcpSocket::Clock::time_point deadline);
  NetResult<void> Fail(NetFailure failure);
  void FreeSession();
  // Writes the bytes as TLS records, waiting while the socket is full.
  bool Write(const char* bytes, int length);
  // Writes the record being filled, if any, into the batch.
  bool WriteRecord();

  TcpSocket& socket_;
  SocketLink link_;
  SSL* session_ = nullptr;
  TlsSessionCache* sessions_ = nullptr;
  std::string server_;
  bool broken_ = false;             // a write or a record failed: the session is not kept
  std::unique_ptr<char[]> record_;  // the record being filled
  int recordLength_ = 0;
};

}  // namespace veradex
