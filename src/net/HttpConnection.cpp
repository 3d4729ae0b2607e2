#include "net/HttpConnection.h"

#include "net/TlsClientContext.h"

namespace veradex {

HttpConnection::HttpConnection(bool useTls, int connectTimeout, int receiveTimeout, std::string caFile,
                               Deadline deadline)
    : deadline_(std::move(deadline)),
      socket_(connectTimeout, receiveTimeout),
      tls_(socket_),
      useTls_(useTls),
      caFile_(std::move(caFile)),
      stream_(useTls ? static_cast<ByteStream*>(&tls_) : &socket_) {
  socket_.SetDeadline(&deadline_);
}

NetResult<void> HttpConnection::Connect(const std::string& host, int port, TlsSessionCache* sessions) {
  Close();
  NetResult<void> connected = socket_.Connect(host, port);
  if (!connected || !useTls_) return connected;
  // A session is resumed only with the server and the trust it was made with.
  return tls_.Handshake(TlsClientContext::For(caFile_), host, sessions,
                        host + ":" + std::to_string(port) + "|" + caFile_);
}

bool HttpConnection::Send(const char* bytes, int length) {
  deadline_.StartSending();
  return stream_->Send(bytes, length);
}

bool HttpConnection::Flush() { return stream_->Flush(); }

int HttpConnection::Receive(char* buffer, int capacity) {
  deadline_.StartAnswer();
  return stream_->Receive(buffer, capacity);
}

void HttpConnection::Close() { stream_->Close(); }

}  // namespace veradex
