#include "support/TestReportCentre.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <poll.h>  // POLLRDHUP needs _GNU_SOURCE, which g++ defines
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <stdexcept>

namespace veradex::test {

namespace {

// 실패했습니다, 접수되었습니다., 접수되지.
constexpr char kFailureText[] = "\xbd\xc7\xc6\xd0\xc7\xdf\xbd\xc0\xb4\xcf\xb4\xd9";
constexpr char kReceivedText[] = "\xc1\xa2\xbc\xf6\xb5\xc7\xbe\xfa\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
constexpr char kNotReceivedText[] = "\xc1\xa2\xbc\xf6\xb5\xc7\xc1\xf6\x2e";
constexpr std::size_t kResetAfterBodyBytes = 1024;

long long LengthOf(const std::string& head) {
  const auto found = head.find("Content-Length:");
  if (found == std::string::npos) return 0;
  return std::atoll(head.c_str() + found + 15);
}

SSL_CTX* ServerContext(const CertifiedKey& identity) {
  SSL_CTX* context = SSL_CTX_new(TLS_server_method());
  if (context == nullptr) throw std::runtime_error("test centre: no TLS context");
  BIO* certificateBio =
      BIO_new_mem_buf(identity.certificatePem.data(), static_cast<int>(identity.certificatePem.size()));
  X509* certificate = PEM_read_bio_X509(certificateBio, nullptr, nullptr, nullptr);
  BIO_free(certificateBio);
  BIO* keyBio = BIO_new_mem_buf(identity.privateKeyPem.data(), static_cast<int>(identity.privateKeyPem.size()));
  EVP_PKEY* key = PEM_read_bio_PrivateKey(keyBio, nullptr, nullptr, nullptr);
  BIO_free(keyBio);
  if (certificate == nullptr || key == nullptr || SSL_CTX_use_certificate(context, certificate) != 1 ||
      SSL_CTX_use_PrivateKey(context, key) != 1) {
    throw std::runtime_error("test centre: bad identity");
  }
  X509_free(certificate);
  EVP_PKEY_free(key);
  SSL_CTX_set_num_tickets(context, 0);
  return context;
}

}  // namespace

// ---------------------------------------------------------------------------
// Answers and requests

std::string TestReportCentre::Answer::Head() const {
  std::string head = statusLine + "\r\n";
  for (const auto& line : headerLines) head += line + "\r\n";
  if (announceLength) head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  return head + "\r\n";
}

TestReportCentre::Answer TestReportCentre::Answer::UploadAccepted(const std::string& cookieHeaderValue) {
  Answer answer;
  answer.headerLines.push_back("Content-Type: text/html; charset=euc-kr");
  if (!cookieHeaderValue.empty()) answer.headerLines.push_back("Set-Cookie:" + cookieHeaderValue);
  answer.body = "<html><body>OK</body></html>\r\n";
  return answer;
}

TestReportCentre::Answer TestReportCentre::Answer::UploadFailed() {
  Answer answer;
  answer.headerLines.push_back("Content-Type: text/html; charset=euc-kr");
  answer.body = std::string("<html><body>") + kFailureText + "</body></html>\r\n";
  return answer;
}

TestReportCentre::Answer TestReportCentre::Answer::FormReceived() {
  Answer answer;
  answer.headerLines.push_back("Content-Type: text/html; charset=euc-kr");
  answer.body = std::string("<html><script>alert('") + kReceivedText + "');</script></html>\r\n";
  return answer;
}

TestReportCentre::Answer TestReportCentre::Answer::FormNotReceived() {
  Answer answer;
  answer.headerLines.push_back("Content-Type: text/html; charset=euc-kr");
  answer.body = std::string("<html><script>alert('") + kNotReceivedText + "');</script></html>\r\n";
  return answer;
}

TestReportCentre::Answer TestReportCentre::Answer::VersionPage(const std::string& body) {
  Answer answer;
  answer.headerLines.push_back("Content-Type: text/html");
  answer.body = body;
  return answer;
}

TestReportCentre::Answer TestReportCentre::Answer::ReportPage() {
  Answer answer;
  answer.headerLines.push_back("Content-Type: text/html; charset=euc-kr");
  answer.headerLines.push_back("Connection: close");
  answer.body =
      std::string("<html><body><p id=\"") + kReportPageMarker + "\">" + kReceivedText + "</p></body></html>\r\n";
  return answer;
}

std::string TestReportCentre::Request::Path() const {
  const auto first = bytes.find(' ');
  if (first == std::string::npos) return {};
  const auto second = bytes.find(' ', first + 1);
  if (second == std::string::npos) return {};
  return bytes.substr(first + 1, second - first - 1);
}

std::string TestReportCentre::Request::Head() const {
  const auto end = bytes.find("\r\n\r\n");
  return end == std::string::npos ? bytes : bytes.substr(0, end + 4);
}

std::string TestReportCentre::Request::Body() const {
  const auto end = bytes.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : bytes.substr(end + 4);
}

bool TestReportCentre::Request::HasHeader(const std::string& line) const {
  return Head().find("\r\n" + line + "\r\n") != std::string::npos;
}

// ---------------------------------------------------------------------------
// The server

TestReportCentre::TestReportCentre(const CertifiedKey& identity) : context_(ServerContext(identity)) {
  answers_[kUploadPath] = {Answer::UploadAccepted()};
  answers_[kFormPath] = {Answer::FormReceived()};
  answers_[kVersionPath] = {Answer::VersionPage("ver:5.3|")};
  answers_[kReportPagePath] = {Answer::ReportPage()};
}

TestReportCentre::~TestReportCentre() {
  Stop();
  SSL_CTX_free(context_);
}

bool TestReportCentre::Start(int port) {
  std::signal(SIGPIPE, SIG_IGN);  // a client that went away must not end the test process
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  if (listener_ < 0) return false;
  const int reuse = 1;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 64) != 0) {
    close(listener_);
    listener_ = -1;
    return false;
  }
  socklen_t length = sizeof address;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  stopping_ = false;
  acceptThread_ = std::thread(&TestReportCentre::AcceptLoop, this);
  return true;
}

void TestReportCentre::Stop() {
  stopping_ = true;
  if (acceptThread_.joinable()) acceptThread_.join();
  if (listener_ >= 0) {
    close(listener_);
    listener_ = -1;
  }
  std::vector<std::thread> threads;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const int s : openSockets_) shutdown(s, SHUT_RDWR);
    threads.swap(connectionThreads_);
  }
  for (auto& thread : threads) thread.join();
}

ServerAddress TestReportCentre::Address() const {
  ServerAddress address;
  address.host = "localhost";
  address.port = port_;
  address.explicitPort = true;
  return address;
}

void TestReportCentre::SetAnswers(const std::string& path, std::vector<Answer> answers) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_[path] = std::move(answers);
  served_[path] = 0;
}

void TestReportCentre::SetStallHandshake(bool stall) { stallHandshake_ = stall; }

void TestReportCentre::SetSessionTickets(int count) {
  SSL_CTX_set_num_tickets(context_, static_cast<size_t>(count));
}

void TestReportCentre::SetProtocolCeiling(int version) {
  SSL_CTX_set_security_level(context_, 0);  // old versions need the old signatures
  SSL_CTX_set_min_proto_version(context_, TLS1_VERSION);
  SSL_CTX_set_max_proto_version(context_, version);
  SSL_CTX_set_cipher_list(context_, "DEFAULT:@SECLEVEL=0");
}

void TestReportCentre::SetPauseMilliseconds(int milliseconds) { pauseMilliseconds_ = milliseconds; }

std::vector<TestReportCentre::Request> TestReportCentre::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

std::vector<TestReportCentre::Request> TestReportCentre::RequestsTo(const std::string& path) const {
  std::vector<Request> matching;
  for (auto& request : Requests()) {
    if (request.Path() == path) matching.push_back(request);
  }
  return matching;
}

std::size_t TestReportCentre::BytesReceived() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::size_t total = 0;
  for (const auto& request : requests_) total += request.bytes.size();
  return total;
}

bool TestReportCentre::WaitForFinishedConnections(int count, int timeoutMilliseconds) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return finishedChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds),
                                   [&] { return finished_ >= count; });
}

void TestReportCentre::ClearRecords() {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
}

void TestReportCentre::AcceptLoop() {
  while (!stopping_) {
    pollfd entry{listener_, POLLIN, 0};
    if (poll(&entry, 1, 50) <= 0) continue;
    const int connection = accept(listener_, nullptr, nullptr);
    if (connection < 0) continue;
    ++accepted_;
    std::lock_guard<std::mutex> lock(mutex_);
    openSockets_.insert(connection);
    connectionThreads_.emplace_back(&TestReportCentre::Serve, this, connection);
  }
}

TestReportCentre::Answer TestReportCentre::AnswerFor(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = answers_.find(path);
  if (found == answers_.end() || found->second.empty()) {
    Answer notFound;
    notFound.statusLine = "HTTP/1.1 404 Not Found";
    notFound.body = "<html><body>404</body></html>";
    return notFound;
  }
  const std::size_t index = served_[path]++;
  return found->second[std::min(index, found->second.size() - 1)];
}

void TestReportCentre::HoldOpen(int socket) const {
  while (!stopping_) {
    pollfd entry{socket, POLLIN, 0};
    if (poll(&entry, 1, 50) <= 0) continue;
    char discard[4096];
    if (recv(socket, discard, sizeof discard, 0) <= 0) return;
  }
}

void TestReportCentre::HoldUnread(int socket) const {
  while (!stopping_) {
    pollfd entry{socket, POLLRDHUP, 0};
    if (poll(&entry, 1, 50) > 0 && (entry.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) return;
  }
}

void TestReportCentre::Pause() const {
  std::this_thread::sleep_for(std::chrono::milliseconds(pauseMilliseconds_.load()));
}

bool TestReportCentre::Flush(SSL* session, int socket, bool bytePerSegment) const {
  BIO* pending = SSL_get_wbio(session);
  char buffer[16384];
  for (;;) {
    const int count = BIO_read(pending, buffer, sizeof buffer);
    if (count <= 0) return true;
    const int step = bytePerSegment ? 1 : count;
    for (int offset = 0; offset < count; offset += step) {
      const int length = std::min(step, count - offset);
      int sent = 0;
      while (sent < length) {
        const auto result = send(socket, buffer + offset + sent, static_cast<std::size_t>(length - sent), MSG_NOSIGNAL);
        if (result <= 0) return false;
        sent += static_cast<int>(result);
      }
    }
  }
}

bool TestReportCentre::Deliver(SSL* session, int socket, const Answer& answer) const {
  const std::string head = answer.Head();
  const auto write = [&](const std::string& bytes, bool bytePerSegment) {
    if (!bytes.empty() && SSL_write(session, bytes.data(), static_cast<int>(bytes.size())) <= 0) return false;
    return Flush(session, socket, bytePerSegment);
  };
  if (!answer.raw.empty()) return write(answer.raw, false);
  switch (answer.delivery) {
    case Delivery::kWhole:
      return write(head + answer.body, false);
    case Delivery::kHeadThenBody:
      if (!write(head, false)) return false;
      Pause();
      return write(answer.body, false);
    case Delivery::kHeadBytePerSegment: {
      const int noDelay = 1;
      setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
      return write(head, true) && write(answer.body, false);
    }
    case Delivery::kTinyTlsRecords: {
      const std::string all = head + answer.body;
      for (std::size_t offset = 0; offset < all.size(); offset += 3) {
        if (!write(all.substr(offset, 3), false)) return false;
      }
      return true;
    }
    case Delivery::kSplitBody:
      if (!write(head + answer.body.substr(0, answer.splitAt), false)) return false;
      Pause();
      return write(answer.body.substr(std::min(answer.splitAt, answer.body.size())), false);
  }
  return false;
}

void TestReportCentre::Finished() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++finished_;
  finishedChanged_.notify_all();
}

void TestReportCentre::Serve(int socket) {
  const auto closeSocket = [&](bool reset) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (reset) {
      const linger abort{1, 0};
      setsockopt(socket, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
    openSockets_.erase(socket);
    close(socket);
  };

  if (stallHandshake_) {
    HoldOpen(socket);
    closeSocket(false);
    Finished();
    return;
  }

  SSL* session = SSL_new(context_);
  SSL_set_fd(session, socket);
  if (SSL_accept(session) <= 0) {
    ++handshakeFailures_;
    SSL_free(session);
    closeSocket(false);
    Finished();
    return;
  }
  ++handshakes_;
  if (SSL_session_reused(session)) ++resumed_;
  // From here on every record is written to memory first, so the centre can
  // cut the bytes up as it was told to.
  SSL_set0_wbio(session, BIO_new(BIO_s_mem()));

  std::size_t slot;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    slot = requests_.size();
    requests_.emplace_back();
  }

  std::string received;
  bool haveHead = false;
  std::size_t headLength = 0;
  long long bodyLength = 0;
  Answer answer;
  bool complete = false;
  char buffer[16384];
  while (!complete) {
    const int count = SSL_read(session, buffer, sizeof buffer);
    if (count <= 0) break;
    received.append(buffer, static_cast<std::size_t>(count));
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (slot < requests_.size()) requests_[slot].bytes.append(buffer, static_cast<std::size_t>(count));
    }
    if (!haveHead) {
      const auto end = received.find("\r\n\r\n");
      if (end == std::string::npos) continue;
      haveHead = true;
      headLength = end + 4;
      bodyLength = LengthOf(received.substr(0, headLength));
      received.reserve(headLength + static_cast<std::size_t>(std::max(bodyLength, 0LL)));
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (slot < requests_.size()) requests_[slot].bytes.reserve(received.capacity());
      }
      Request parsed;
      parsed.bytes = received;
      answer = AnswerFor(parsed.Path());
    }
    const std::size_t bodyReceived = received.size() - headLength;
    if (answer.fault == Fault::kResetMidUpload && bodyReceived >= kResetAfterBodyBytes) {
      SSL_free(session);
      closeSocket(true);
      Finished();
      return;
    }
    if (answer.fault == Fault::kStallMidUpload && bodyReceived >= kResetAfterBodyBytes) {
      HoldUnread(socket);
      break;
    }
    complete = static_cast<long long>(bodyReceived) >= bodyLength;
  }

  if (complete) {
    switch (answer.fault) {
      case Fault::kStallBeforeHead:
        HoldOpen(socket);
        break;
      case Fault::kCloseBeforeStatus:
        break;
      case Fault::kStallAfterHead: {
        const std::string head = answer.Head();
        SSL_write(session, head.data(), static_cast<int>(head.size()));
        Flush(session, socket, false);
        HoldOpen(socket);
        break;
      }
      case Fault::kNone:
      case Fault::kResetMidUpload:
      case Fault::kStallMidUpload:
        if (Deliver(session, socket, answer)) {
          if (answer.keepOpen) HoldOpen(socket);
          SSL_shutdown(session);
          Flush(session, socket, false);
        }
        break;
    }
  }
  SSL_free(session);
  closeSocket(false);
  Finished();
}

}  // namespace veradex::test
