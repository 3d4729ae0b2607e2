#include "net/TlsStream.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cstring>

namespace veradex {

namespace {

using SocketLink = TlsStream::SocketLink;

// A TLS socket I/O object over our own TcpSocket: it reports "try again" on
// the non-blocking socket, so the stream waits for readiness with its own
// time-outs. What the session writes is held until a batch of records has
// gathered, and then goes out in one socket write: far fewer system calls,
// and larger segments for the server to take in. A flush, and every read,
// first sends what is held.
SocketLink& LinkOf(BIO* bio) { return *static_cast<SocketLink*>(BIO_get_data(bio)); }

// 1 when nothing is held any more, 0 when the socket is full, -1 on failure.
int Drain(SocketLink& link) {
  while (link.sent < link.held.size()) {
    const std::size_t left = link.held.size() - link.sent;
    const int result =
        link.socket->TrySend(link.held.data() + link.sent, static_cast<int>(std::min<std::size_t>(left, 1u << 30)));
    if (result == TcpSocket::kWouldBlock) return 0;
    if (result <= 0) return -1;
    ++link.writes;
    link.sent += static_cast<std::size_t>(result);
  }
  link.held.clear();
  link.sent = 0;
  return 1;
}

// Sends what is held before the caller goes on; -1 (to be retried when the
// socket takes more) when it is full.
int DrainBefore(BIO* bio) {
  const int drained = Drain(LinkOf(bio));
  if (drained == 0) BIO_set_retry_write(bio);
  return drained > 0 ? 1 : -1;
}

int SocketBioWrite(BIO* bio, const char* data, int length) {
  BIO_clear_retry_flags(bio);
  SocketLink& link = LinkOf(bio);
  if (link.held.size() >= SocketLink::kBatchBytes && DrainBefore(bio) < 0) return -1;
  link.held.insert(link.held.end(), data, data + length);
  if (link.held.size() >= SocketLink::kBatchBytes && Drain(link) < 0) return -1;
  return length;
}

int SocketBioRead(BIO* bio, char* data, int length) {
  BIO_clear_retry_flags(bio);
  if (!LinkOf(bio).held.empty() && DrainBefore(bio) < 0) return -1;
  const int result = LinkOf(bio).socket->TryReceive(data, length);
  if (result == TcpSocket::kWouldBlock) {
    BIO_set_retry_read(bio);
    return -1;
  }
  return result;
}

long SocketBioControl(BIO* bio, int command, long, void*) {
  switch (command) {
    case BIO_CTRL_FLUSH:
      BIO_clear_retry_flags(bio);
      return DrainBefore(bio);
    case BIO_CTRL_WPENDING:
      return static_cast<long>(LinkOf(bio).held.size() - LinkOf(bio).sent);
    default:
      return 0;
  }
}

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
  link_.held.clear();
  link_.sent = 0;
  BIO_set_data(bio, &link_);
  SSL_set_bio(session_, bio, bio);
  // The server's records are read in as few socket reads as they allow.
  SSL_set_read_ahead(session_, 1);

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
    // A full record joins the batch; only Flush() sends the batch early.
    if (recordLength_ == kRecordPayload && !WriteRecord()) return false;
  }
  return true;
}

bool TlsStream::WriteRecord() {
  if (recordLength_ == 0) return true;
  const int length = recordLength_;
  recordLength_ = 0;
  return Write(record_.get(), length);
}

bool TlsStream::Flush() {
  if (session_ == nullptr) return false;
  if (!WriteRecord()) return false;
  // The records held for the socket.
  BIO* bio = SSL_get_wbio(session_);
  while (BIO_flush(bio) <= 0) {
    if (!BIO_should_retry(bio) || !socket_.WaitReady(TcpSocket::Wait::kWrite, socket_.IoDeadline())) {
      broken_ = true;
      Close();
      return false;
    }
  }
  return true;
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
