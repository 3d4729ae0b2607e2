#include "net/HttpConnection.h"

#include "net/TlsClientContext.h"

namespace veradex {

HttpConnection::HttpConnection(bool useTls, int connectTimeout, int receiveTimeout, std::string caFile)
    : socket_(connectTimeout, receiveTimeout),
      tls_(socket_),
      useTls_(useTls),
      caFile_(std::move(caFile)),
      stream_(useTls ? static_cast<ByteStream*>(&tls_) : &socket_) {}

NetResult<void> HttpConnection::Connect(const std::string& host, int port) {
  Close();
  NetResult<void> connected = socket_.Connect(host, port);
  if (!connected || !useTls_) return connected;
  return tls_.Handshake(TlsClientContext::For(caFile_), host);
}

bool HttpConnection::Send(const char* bytes, int length) { return stream_->Send(bytes, length); }

int HttpConnection::Receive(char* buffer, int capacity) { return stream_->Receive(buffer, capacity); }

void HttpConnection::Close() { stream_->Close(); }

}  // namespace veradex
