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

NetResult<void> HttpConnection::Connect(const std::string& host, int port) {
  Close();
  NetResult<void> connected = socket_.Connect(host, port);
  if (!connected || !useTls_) return connected;
  return tls_.Handshake(TlsClientContext::For(caFile_), host);
}

bool HttpConnection::Send(const char* bytes, int length) {
  deadline_.StartSending();
  return stream_->Send(bytes, length);
}

int HttpConnection::Receive(char* buffer, int capacity) {
  deadline_.StartAnswer();
  return stream_->Receive(buffer, capacity);
}

void HttpConnection::Close() { stream_->Close(); }

}  // namespace veradex
