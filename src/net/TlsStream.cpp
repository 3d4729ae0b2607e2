#include "net/TlsStream.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cstring>

namespace veradex {

namespace {

// A TLS socket I/O object over our own TcpSocket: it reports "try again" on
// the non-blocking socket, so the stream waits for readiness with its own
// time-outs.
TcpSocket& SocketOf(BIO* bio) { return *static_cast<TcpSocket*>(BIO_get_data(bio)); }

int SocketBioWrite(BIO* bio, const char* data, int length) {
  BIO_clear_retry_flags(bio);
  const int result = SocketOf(bio).TrySend(data, length);
  if (result == TcpSocket::kWouldBlock) {
    BIO_set_retry_write(bio);
    return -1;
  }
  return result;
}

int SocketBioRead(BIO* bio, char* data, int length) {
  BIO_clear_retry_flags(bio);
  const int result = SocketOf(bio).TryReceive(data, length);
  if (result == TcpSocket::kWouldBlock) {
    BIO_set_retry_read(bio);
    return -1;
  }
  return result;
}

long SocketBioControl(BIO*, int command, long, void*) { return command == BIO_CTRL_FLUSH ? 1 : 0; }

int SocketBioCreate(BIO* bio) {
  BIO_set_init(bio, 1);
  return 1;
}

BIO_METHOD* SocketBioMethod() {
  static BIO_METHOD* method = [] {
    BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "veradex socket");
    BIO_meth_set_write(m, SocketBioWrite);
    BIO_meth_set_read(m, SocketBioRead);
    BIO_meth_set_ctrl(m, SocketBioControl);
    BIO_meth_set_create(m, SocketBioCreate);
    return m;
  }();
  return method;
}

// The TLS library's reason for the last failure, for the log.
std::string LibraryError() {
  const unsigned long code = ERR_peek_last_error();
  if (code == 0) return "handshake failed";
  char text[256];
  ERR_error_string_n(code, text, sizeof text);
  return text;
}

}  // namespace

NetResult<void> TlsStream::Fail(NetFailure failure) {
  Close();
  return failure;
}

NetResult<void> TlsStream::Handshake(const std::shared_ptr<SSL_CTX>& context, const std::string& host,
                                     TlsSessionCache* sessions, const std::string& server) {
  FreeSession();
  broken_ = false;
  sessions_ = sessions;
  server_ = server;
  if (!context) return Fail({NetError::kConnect, "no TLS context"});
  session_ = SSL_new(context.get());
  BIO* bio = session_ != nullptr ? BIO_new(SocketBioMethod()) : nullptr;
  if (bio == nullptr) return Fail({NetError::kConnect, "no TLS session"});
  BIO_set_data(bio, &socket_);
  SSL_set_bio(session_, bio, bio);

  // An address is matched against the certificate's IP addresses; a name
  // against its DNS names, and it goes out as SNI.
  if (X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(session_), host.c_str()) != 1) {
    SSL_set_hostflags(session_, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    if (SSL_set1_host(session_, host.c_str()) != 1) return Fail({NetError::kConnect, "unusable host name"});
    SSL_set_tlsext_host_name(session_, host.c_str());
  }
  if (sessions_ != nullptr) {
    if (SSL_SESSION* kept = sessions_->Find(server_)) {
      SSL_set_session(session_, kept);
      SSL_SESSION_free(kept);
    }
  }

  const auto deadline = socket_.IoDeadline();
  for (;;) {
    ERR_clear_error();
    const int result = SSL_connect(session_);
    if (result > 0) return {};
    const int error = SSL_get_error(session_, result);
    if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
      if (!WaitForSession(result, deadline)) {
        return Fail({NetError::kTimeout, "no TLS handshake within " + std::to_string(socket_.IoTimeout()) + " s"});
      }
      continue;
    }
    const long verified = SSL_get_verify_result(session_);
    if (verified != X509_V_OK) return Fail({NetError::kCertificate, X509_verify_cert_error_string(verified)});
    return Fail({NetError::kConnect, LibraryError()});
  }
}

bool TlsStream::WaitForSession(int result, TcpSocket::Clock::time_point deadline) {
  switch (SSL_get_error(session_, result)) {
    case SSL_ERROR_WANT_READ:
      return socket_.WaitReady(TcpSocket::Wait::kRead, deadline);
    case SSL_ERROR_WANT_WRITE:
      return socket_.WaitReady(TcpSocket::Wait::kWrite, deadline);
    default:
      return false;
  }
}

bool TlsStream::Write(const char* bytes, int length) {
  int written = 0;
  while (written < length) {
    ERR_clear_error();
    const int result = SSL_write(session_, bytes + written, length - written);
    if (result > 0) {
      written += result;
    } else if (!WaitForSession(result, socket_.IoDeadline())) {
      broken_ = true;
      Close();
      return false;
    }
  }
  return true;
}

bool TlsStream::Send(const char* bytes, int length) {
  if (session_ == nullptr || length <= 0) return false;
  while (length > 0) {
    // Whole records straight from the caller's bytes when nothing is held.
    if (recordLength_ == 0 && length >= kRecordPayload) {
      const int whole = length - length % kRecordPayload;
      if (!Write(bytes, whole)) return false;
      bytes += whole;
      length -= whole;
      continue;
    }
    if (!record_) record_ = std::make_unique<char[]>(kRecordPayload);
    const int taken = std::min(length, kRecordPayload - recordLength_);
    std::memcpy(record_.get() + recordLength_, bytes, static_cast<std::size_t>(taken));
    recordLength_ += taken;
    bytes += taken;
    length -= taken;
    if (recordLength_ == kRecordPayload && !Flush()) return false;
  }
  return true;
}

bool TlsStream::Flush() {
  if (session_ == nullptr) return false;
  if (recordLength_ == 0) return true;
  const int length = recordLength_;
  recordLength_ = 0;
  return Write(record_.get(), length);
}

int TlsStream::Receive(char* buffer, int capacity) {
  if (session_ == nullptr || capacity <= 0) return -1;
  if (!Flush()) return -1;
  const auto deadline = socket_.IoDeadline();
  for (;;) {
    ERR_clear_error();
    const int result = SSL_read(session_, buffer, capacity);
    if (result > 0) return result;
    if (!WaitForSession(result, deadline)) {
      // The server's end is no fault of the session; a broken record is.
      if (SSL_get_error(session_, result) == SSL_ERROR_SSL) broken_ = true;
      Close();
      return -1;
    }
  }
}

void TlsStream::FreeSession() {
  recordLength_ = 0;
  if (session_ == nullptr) return;
  // The session as it ends (with the server's tickets, which arrive after
  // the handshake) is the one the next connection offers. A copy: freeing a
  // connection that was not shut down marks its own session unusable.
  if (sessions_ != nullptr && !broken_ && SSL_is_init_finished(session_)) {
    sessions_->Keep(server_, SSL_SESSION_dup(SSL_get0_session(session_)));
  }
  SSL_free(session_);  // frees the socket I/O object with it
  session_ = nullptr;
}

void TlsStream::Close() {
  FreeSession();
  socket_.Close();
}

}  // namespace veradex
