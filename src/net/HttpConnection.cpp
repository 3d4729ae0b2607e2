#include "net/HttpConnection.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <sys/stat.h>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

#ifdef _WIN32
// clang-format off
#include <winsock2.h>  // before windows.h, which would bring the old Winsock
#include <ws2tcpip.h>
#include <windows.h>
// clang-format on
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace veradex {

namespace {

#ifdef _WIN32
constexpr int kSendFlags = 0;
bool WouldBlock() {
  const int error = WSAGetLastError();
  return error == WSAEWOULDBLOCK || error == WSAEINPROGRESS || error == WSAEINTR;
}
int CloseNativeSocket(std::uintptr_t s) { return closesocket(static_cast<SOCKET>(s)); }
int PollSockets(WSAPOLLFD* fds, int count, int timeoutMs) { return WSAPoll(fds, count, timeoutMs); }
using PollEntry = WSAPOLLFD;
#else
constexpr int kSendFlags = MSG_NOSIGNAL;  // a vanished server must not raise SIGPIPE
bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == EINPROGRESS; }
int CloseNativeSocket(int s) { return close(s); }
int PollSockets(pollfd* fds, int count, int timeoutMs) { return poll(fds, static_cast<nfds_t>(count), timeoutMs); }
using PollEntry = pollfd;
#endif

// A TLS socket I/O object over our own socket that writes with send() and
// MSG_NOSIGNAL and reports "try again" on a non-blocking socket, so the
// connection can wait for readiness with its own time-outs.
int SocketBioWrite(BIO* bio, const char* data, int length) {
  BIO_clear_retry_flags(bio);
  const auto s = reinterpret_cast<std::intptr_t>(BIO_get_data(bio));
  const auto written = send(static_cast<decltype(socket(0, 0, 0))>(s), data, length, kSendFlags);
  if (written < 0 && WouldBlock()) BIO_set_retry_write(bio);
  return static_cast<int>(written);
}

int SocketBioRead(BIO* bio, char* data, int length) {
  BIO_clear_retry_flags(bio);
  const auto s = reinterpret_cast<std::intptr_t>(BIO_get_data(bio));
  const auto count = recv(static_cast<decltype(socket(0, 0, 0))>(s), data, length, 0);
  if (count < 0 && WouldBlock()) BIO_set_retry_read(bio);
  return static_cast<int>(count);
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

void PrintTrace(const char* text) {
  std::printf("%s", text);
  std::fflush(stdout);
}

// The client context: verification against the system's authorities and the
// configured extra one. Reading the system's authorities costs tens of
// milliseconds, so each context is made once per process and extra-authority
// file (as it stands: a changed file gets a new context) and shared by
// reference between connections and threads.
SSL_CTX* SharedClientContext(const std::string& caFile) {
  std::string key = caFile;
  if (!caFile.empty()) {
    struct stat status {};
    if (stat(caFile.c_str(), &status) == 0) {
      key += "|" + std::to_string(static_cast<long long>(status.st_mtime)) + "|" +
             std::to_string(static_cast<long long>(status.st_size));
    }
  }
  static std::mutex mutex;
  static std::map<std::string, SSL_CTX*> contexts;
  std::lock_guard<std::mutex> lock(mutex);
  SSL_CTX*& context = contexts[key];
  if (context == nullptr) {
    context = SSL_CTX_new(TLS_client_method());
    if (context == nullptr) return nullptr;
    SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_default_verify_paths(context);
    // A file that cannot be read adds nothing; the certificate check decides.
    if (!caFile.empty()) SSL_CTX_load_verify_locations(context, caFile.c_str(), nullptr);
  }
  SSL_CTX_up_ref(context);
  return context;
}

bool IsIpv4Literal(const std::string& host) {
  in_addr address{};
  return inet_pton(AF_INET, host.c_str(), &address) == 1;
}

}  // namespace

HttpConnection::HttpConnection(bool useTls, int connectTimeout, int receiveTimeout, std::string caFile)
    : connectTimeout_(connectTimeout), receiveTimeout_(receiveTimeout), useTls_(useTls), caFile_(std::move(caFile)) {
#ifdef _WIN32
  socket_ = static_cast<NativeSocket>(INVALID_SOCKET);
  WSADATA data;
  if (WSAStartup(0x0202, &data) != 0) {
    MessageBoxA(nullptr, "\xc0\xa9\xbc\xd3\x20\xc3\xca\xb1\xe2\xc8\xad\x20\xbd\xc7\xc6\xd0",  // 윈속 초기화 실패
                "\xbf\xa1\xb7\xaf", MB_OK);                                                   // 에러
    return;
  }
#else
  socket_ = -1;
#endif
  started_ = true;
  static std::once_flag tlsInitialised;
  std::call_once(tlsInitialised, [] { OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS, nullptr); });
}

HttpConnection::~HttpConnection() { Shutdown(); }

bool HttpConnection::HasSocket() const {
#ifdef _WIN32
  return socket_ != static_cast<NativeSocket>(INVALID_SOCKET);
#else
  return socket_ >= 0;
#endif
}

HttpConnection::Clock::time_point HttpConnection::Deadline(int timeoutSeconds) {
  if (timeoutSeconds <= 0) return Clock::time_point::max();
  return Clock::now() + std::chrono::seconds(timeoutSeconds);
}

bool HttpConnection::WaitReady(Wait what, Clock::time_point deadline) {
  for (;;) {
    int timeoutMs = -1;
    if (deadline != Clock::time_point::max()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return false;
      timeoutMs = static_cast<int>(left) + 1;
    }
    PollEntry entry{};
    entry.fd = socket_;
    entry.events = what == Wait::kRead ? POLLIN : POLLOUT;
    const int ready = PollSockets(&entry, 1, timeoutMs);
    if (ready > 0) return true;  // readable, writable, or an error the next call reports
    if (ready == 0) {
      if (deadline != Clock::time_point::max() && Clock::now() >= deadline) return false;
      continue;
    }
#ifndef _WIN32
    if (errno == EINTR) continue;
#endif
    return false;
  }
}

bool HttpConnection::OpenSocket(const std::string& host, int port) {
  socket_ = static_cast<NativeSocket>(socket(AF_INET, SOCK_STREAM, 0));
  if (!HasSocket()) return false;

  const int reuse = 1;
  if (setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse) != 0) {
    PrintTrace("error - socket Connect - setsockopt - re use time\n");
    Close();
    return false;
  }

  // Every write goes out at once: the request follows the TLS handshake's
  // last flight without waiting for its acknowledgement.
  const int noDelay = 1;
  setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);

  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (host.empty() || getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || found == nullptr) {
    return false;
  }
  sockaddr_in address{};
  std::memcpy(&address, found->ai_addr, sizeof address);
  freeaddrinfo(found);

#ifdef _WIN32
  u_long nonBlocking = 1;
  ioctlsocket(static_cast<SOCKET>(socket_), FIONBIO, &nonBlocking);
#else
  fcntl(socket_, F_SETFL, fcntl(socket_, F_GETFL, 0) | O_NONBLOCK);
#endif

  if (connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    if (!WouldBlock()) return false;
    if (!WaitReady(Wait::kWrite, Deadline(connectTimeout_))) {
      PrintTrace("error - socket Connect - timeout false\n");
      return false;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0 || error != 0) {
      return false;
    }
  }
  return true;
}

bool HttpConnection::Handshake(const std::string& host) {
  tlsContext_ = SharedClientContext(caFile_);
  if (tlsContext_ == nullptr) return false;

  tlsSession_ = SSL_new(tlsContext_);
  if (tlsSession_ == nullptr) return false;
  BIO* bio = BIO_new(SocketBioMethod());
  if (bio == nullptr) return false;
  BIO_set_data(bio, reinterpret_cast<void*>(static_cast<std::intptr_t>(socket_)));
  SSL_set_bio(tlsSession_, bio, bio);

  if (IsIpv4Literal(host)) {
    if (X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(tlsSession_), host.c_str()) != 1) return false;
  } else {
    SSL_set_hostflags(tlsSession_, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    if (SSL_set1_host(tlsSession_, host.c_str()) != 1) return false;
    SSL_set_tlsext_host_name(tlsSession_, host.c_str());
  }

  const auto deadline = Deadline(receiveTimeout_);
  for (;;) {
    ERR_clear_error();
    const int result = SSL_connect(tlsSession_);
    if (result > 0) return true;
    const int error = SSL_get_error(tlsSession_, result);
    if (error == SSL_ERROR_WANT_READ) {
      if (!WaitReady(Wait::kRead, deadline)) return false;
    } else if (error == SSL_ERROR_WANT_WRITE) {
      if (!WaitReady(Wait::kWrite, deadline)) return false;
    } else {
      return false;
    }
  }
}

int HttpConnection::Connect(const std::string& host, int port) {
  if (!started_ || shutDown_) return -1;
  Close();
  if (!OpenSocket(host, port)) return -1;
  if (!useTls_) return 1;
  if (Handshake(host)) return 1;
  Close();
  return -1;
}

int HttpConnection::Send(const char* bytes, int length) {
  if (!HasSocket() || length <= 0 || (useTls_ && tlsSession_ == nullptr)) return -1;
  int written = 0;
  while (written < length) {
    if (useTls_) {
      ERR_clear_error();
      const int result = SSL_write(tlsSession_, bytes + written, length - written);
      if (result > 0) {
        written += result;
        continue;
      }
      const int error = SSL_get_error(tlsSession_, result);
      const bool ready = (error == SSL_ERROR_WANT_WRITE && WaitReady(Wait::kWrite, Deadline(receiveTimeout_))) ||
                         (error == SSL_ERROR_WANT_READ && WaitReady(Wait::kRead, Deadline(receiveTimeout_)));
      if (!ready) {
        Close();
        return -1;
      }
    } else {
      const auto result = send(socket_, bytes + written, length - written, kSendFlags);
      if (result > 0) {
        written += static_cast<int>(result);
      } else if (result < 0 && WouldBlock()) {
        if (!WaitReady(Wait::kWrite, Deadline(receiveTimeout_))) return -1;
      } else {
        return -1;
      }
    }
  }
  return written;
}

int HttpConnection::Receive(char* buffer, int capacity) {
  if (!HasSocket() || capacity <= 0 || (useTls_ && tlsSession_ == nullptr)) return -1;
  const auto deadline = Deadline(receiveTimeout_);
  for (;;) {
    if (useTls_) {
      ERR_clear_error();
      const int result = SSL_read(tlsSession_, buffer, capacity);
      if (result > 0) return result;
      const int error = SSL_get_error(tlsSession_, result);
      const bool ready = (error == SSL_ERROR_WANT_READ && WaitReady(Wait::kRead, deadline)) ||
                         (error == SSL_ERROR_WANT_WRITE && WaitReady(Wait::kWrite, deadline));
      if (!ready) {
        Close();
        return -1;
      }
    } else {
      if (!WaitReady(Wait::kRead, deadline)) {
        Close();
        return -1;
      }
      const auto result = recv(socket_, buffer, capacity, 0);
      if (result > 0) return static_cast<int>(result);
      if (result < 0 && WouldBlock()) continue;
      return -1;
    }
  }
}

void HttpConnection::Close() {
  if (HasSocket()) {
    CloseNativeSocket(socket_);
#ifdef _WIN32
    socket_ = static_cast<NativeSocket>(INVALID_SOCKET);
#else
    socket_ = -1;
#endif
  }
  if (tlsSession_ != nullptr) {
    SSL_free(tlsSession_);  // frees the socket I/O object with it
    tlsSession_ = nullptr;
  }
  if (tlsContext_ != nullptr) {
    SSL_CTX_free(tlsContext_);
    tlsContext_ = nullptr;
  }
}

void HttpConnection::Shutdown() {
  Close();
  if (started_ && !shutDown_) {
#ifdef _WIN32
    WSACleanup();
#endif
    shutDown_ = true;
  }
}

}  // namespace veradex
