#include "centre/CentreServer.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <stdexcept>

#include "centre/ServerSocket.h"

namespace veradex::centre {

namespace {

// 실패했습니다, 접수되었습니다., 접수되지.
constexpr char kFailureText[] = "\xbd\xc7\xc6\xd0\xc7\xdf\xbd\xc0\xb4\xcf\xb4\xd9";
constexpr char kReceivedText[] = "\xc1\xa2\xbc\xf6\xb5\xc7\xbe\xfa\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
constexpr char kNotReceivedText[] = "\xc1\xa2\xbc\xf6\xb5\xc7\xc1\xf6\x2e";
constexpr std::size_t kResetAfterBodyBytes = 1024;

// The announced body length: 0 when none is announced, -1 when the value is
// not a plain decimal number.
long long LengthOf(const CentreServer::Request& head) {
  const std::string value = head.HeaderValue("Content-Length");
  if (value.empty()) return head.HasHeader("Content-Length:") ? -1 : 0;
  if (value.size() > 18 || !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return -1;
  return std::stoll(value);
}

CentreServer::Answer Refusal(const std::string& statusLine) {
  CentreServer::Answer answer;
  answer.statusLine = statusLine;
  answer.headerLines = {"Content-Type: text/plain; charset=us-ascii", "Connection: close"};
  answer.body = statusLine.substr(9) + "\r\n";
  answer.refusal = true;
  return answer;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

SSL_CTX* ServerContext(const CertifiedKey& identity) {
  SSL_CTX* context = SSL_CTX_new(TLS_server_method());
  if (context == nullptr) throw std::runtime_error("report centre: no TLS context");
  BIO* certificateBio =
      BIO_new_mem_buf(identity.certificatePem.data(), static_cast<int>(identity.certificatePem.size()));
  X509* certificate = PEM_read_bio_X509(certificateBio, nullptr, nullptr, nullptr);
  BIO_free(certificateBio);
  BIO* keyBio = BIO_new_mem_buf(identity.privateKeyPem.data(), static_cast<int>(identity.privateKeyPem.size()));
  EVP_PKEY* key = PEM_read_bio_PrivateKey(keyBio, nullptr, nullptr, nullptr);
  BIO_free(keyBio);
  if (certificate == nullptr || key == nullptr || SSL_CTX_use_certificate(context, certificate) != 1 ||
      SSL_CTX_use_PrivateKey(context, key) != 1) {
    throw std::runtime_error("report centre: bad identity");
  }
  X509_free(certificate);
  EVP_PKEY_free(key);
  SSL_CTX_set_num_tickets(context, 0);
  return context;
}

}  // namespace

// ---------------------------------------------------------------------------
// Answers and requests

std::string CentreServer::Answer::Head() const {
  std::string head = statusLine + "\r\n";
  for (const auto& line : headerLines) head += line + "\r\n";
  if (announceLength) head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  return head + "\r\n";
}

CentreServer::Answer CentreServer::Answer::UploadAccepted(const std::string& cookieHeaderValue) {
  Answer answer;
  answer.headerLines.push_back("Content-Type: text/html; charset=euc-kr");
  if (!cookieHeaderValue.empty()) answer.headerLines.push_back("Set-Cookie:" + cookieHeaderValue);
  answer.body = "<html><body>OK</body></html>\r\n";
  return answer;
}

CentreServer::Answer CentreServer::Answer::UploadFailed() {
  Answer answer;
  answer.headerLines.push_back("Content-Type: text/html; charset=euc-kr");
  answer.body = std::string("<html><body>") + kFailureText + "</body></html>\r\n";
  return answer;
}

CentreServer::Answer CentreServer::Answer::FormReceived() {
  Answer answer;
  answer.headerLines.push_back("Content-Type: text/html; charset=euc-kr");
  answer.body = std::string("<html><script>alert('") + kReceivedText + "');</script></html>\r\n";
  return answer;
}

CentreServer::Answer CentreServer::Answer::FormNotReceived() {
  Answer answer;
  answer.headerLines.push_back("Content-Type: text/html; charset=euc-kr");
  answer.body = std::string("<html><script>alert('") + kNotReceivedText + "');</script></html>\r\n";
  return answer;
}

CentreServer::Answer CentreServer::Answer::VersionPage(const std::string& body) {
  Answer answer;
  answer.headerLines.push_back("Content-Type: text/html");
  answer.body = body;
  return answer;
}

CentreServer::Answer CentreServer::Answer::ReportPage() {
  Answer answer;
  answer.headerLines.push_back("Content-Type: text/html; charset=euc-kr");
  answer.headerLines.push_back("Connection: close");
  answer.body =
      std::string("<html><body><p id=\"") + kReportPageMarker + "\">" + kReceivedText + "</p></body></html>\r\n";
  return answer;
}

std::string CentreServer::Request::Method() const {
  const auto first = bytes.find(' ');
  return first == std::string::npos ? std::string() : bytes.substr(0, first);
}

std::string CentreServer::Request::Path() const {
  const auto first = bytes.find(' ');
  if (first == std::string::npos) return {};
  const auto second = bytes.find(' ', first + 1);
  if (second == std::string::npos) return {};
  return bytes.substr(first + 1, second - first - 1);
}

std::string CentreServer::Request::Head() const {
  const auto end = bytes.find("\r\n\r\n");
  return end == std::string::npos ? bytes : bytes.substr(0, end + 4);
}

std::string CentreServer::Request::Body() const {
  const auto end = bytes.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : bytes.substr(end + 4);
}

bool CentreServer::Request::HasHeader(const std::string& line) const {
  return Head().find("\r\n" + line + "\r\n") != std::string::npos;
}

std::string CentreServer::Request::HeaderValue(const std::string& name) const {
  const std::string head = Head();
  std::size_t start = head.find("\r\n");
  while (start != std::string::npos && start + 2 < head.size()) {
    start += 2;
    const std::size_t end = head.find("\r\n", start);
    const std::string line = head.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos && EqualsIgnoringCase(line.substr(0, colon), name)) {
      const std::size_t first = line.find_first_not_of(" \t", colon + 1);
      if (first == std::string::npos) return std::string();
      return line.substr(first, line.find_last_not_of(" \t") - first + 1);
    }
    start = end;
  }
  return std::string();
}

bool CentreServer::AcceptHead(const Request& head, long long* bodyLength, Answer* refusal) {
  if (!head.HeaderValue("Transfer-Encoding").empty()) {
    *refusal = Refusal("HTTP/1.1 411 Length Required");
    return false;
  }
  *bodyLength = LengthOf(head);
  if (*bodyLength < 0) {
    *refusal = Refusal("HTTP/1.1 400 Bad Request");
    return false;
  }
  if (*bodyLength > kMaxBodyBytes) {
    *refusal = Refusal("HTTP/1.1 413 Payload Too Large");
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// The server

CentreServer::CentreServer(const CertifiedKey& identity) : context_(ServerContext(identity)) {
  answers_[kUploadPath] = {Answer::UploadAccepted()};
  answers_[kFormPath] = {Answer::FormReceived()};
  answers_[kVersionPath] = {Answer::VersionPage("ver:5.3|")};
  answers_[kReportPagePath] = {Answer::ReportPage()};
}

CentreServer::~CentreServer() {
  Stop();
  SSL_CTX_free(context_);
}

bool CentreServer::Start(int port) {
  ServerSocket::StartUp();  // a client that went away must not end the test process
  int bound = 0;
  listener_ = ServerSocket::Listen(port, &bound);
  if (listener_ < 0) return false;
  port_ = bound;
  stopping_ = false;
  acceptThread_ = std::thread(&CentreServer::AcceptLoop, this);
  return true;
}

void CentreServer::Stop() {
  stopping_ = true;
  if (acceptThread_.joinable()) acceptThread_.join();
  if (listener_ >= 0) {
    ServerSocket::Close(listener_);
    listener_ = -1;
  }
  std::map<std::thread::id, std::thread> threads;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const int s : openSockets_) ServerSocket::ShutdownBoth(s);
    threads.swap(connectionThreads_);
    endedThreads_.clear();
  }
  for (auto& entry : threads) entry.second.join();
}

ServerAddress CentreServer::Address() const {
  ServerAddress address;
  address.host = "localhost";
  address.port = port_;
  address.explicitPort = true;
  return address;
}

void CentreServer::SetAnswers(const std::string& path, std::vector<Answer> answers) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_[path] = std::move(answers);
  served_[path] = 0;
}

void CentreServer::SetStallHandshake(bool stall) { stallHandshake_ = stall; }

void CentreServer::SetSessionTickets(int count) { SSL_CTX_set_num_tickets(context_, static_cast<size_t>(count)); }

void CentreServer::SetProtocolCeiling(int version) {
  SSL_CTX_set_security_level(context_, 0);  // old versions need the old signatures
  SSL_CTX_set_min_proto_version(context_, TLS1_VERSION);
  SSL_CTX_set_max_proto_version(context_, version);
  SSL_CTX_set_cipher_list(context_, "DEFAULT:@SECLEVEL=0");
}

void CentreServer::SetPauseMilliseconds(int milliseconds) { pauseMilliseconds_ = milliseconds; }

void CentreServer::SetHandler(Handler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  handler_ = std::move(handler);
}

void CentreServer::SetRecording(bool recording) { recording_ = recording; }

void CentreServer::SetIdleTimeoutSeconds(int seconds) { idleTimeoutSeconds_ = seconds; }

void CentreServer::SetReceiveBufferBytes(int bytes) {
  receiveBufferBytes_ = bytes;
  // The listener's size decides the window the connection starts with.
  if (listener_ < 0) return;
  const int segment = bytes > 0 ? 1460 : 0;  // 0: the route's own
  ServerSocket::SetMaxSegment(listener_, segment);
  if (bytes > 0) ServerSocket::SetReceiveBuffer(listener_, bytes);
}

std::vector<CentreServer::Request> CentreServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

std::vector<CentreServer::Request> CentreServer::RequestsTo(const std::string& path) const {
  std::vector<Request> matching;
  for (auto& request : Requests()) {
    if (request.Path() == path) matching.push_back(request);
  }
  return matching;
}

std::size_t CentreServer::BytesReceived() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::size_t total = 0;
  for (const auto& request : requests_) total += request.bytes.size();
  return total;
}

bool CentreServer::WaitForFinishedConnections(int count, int timeoutMilliseconds) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return finishedChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds),
                                   [&] { return finished_ >= count; });
}

void CentreServer::ClearRecords() {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
}

void CentreServer::AcceptLoop() {
  while (!stopping_) {
    JoinEndedThreads();
    if (ServerSocket::WaitReadable(listener_, 50) <= 0) continue;
    const int connection = ServerSocket::Accept(listener_);
    if (connection < 0) continue;
    ++accepted_;
    if (const int bytes = receiveBufferBytes_.load(); bytes > 0) ServerSocket::SetReceiveBuffer(connection, bytes);
    std::lock_guard<std::mutex> lock(mutex_);
    if (static_cast<int>(openSockets_.size()) >= kMaxConnections) {
      ServerSocket::Close(connection);
      ++finished_;
      finishedChanged_.notify_all();
      continue;
    }
    openSockets_.insert(connection);
    // Made under the lock, so the thread is in the map before it can end.
    std::thread thread(&CentreServer::Serve, this, connection);
    const auto id = thread.get_id();
    connectionThreads_.emplace(id, std::move(thread));
  }
}

// A thread that has ended still holds its stack until it is joined; a centre
// that runs for days must not keep one per connection it ever had.
void CentreServer::JoinEndedThreads() {
  std::vector<std::thread> ended;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto id : endedThreads_) {
      const auto found = connectionThreads_.find(id);
      if (found == connectionThreads_.end()) continue;
      ended.push_back(std::move(found->second));
      connectionThreads_.erase(found);
    }
    endedThreads_.clear();
  }
  for (auto& thread : ended) thread.join();
}

CentreServer::Answer CentreServer::AnswerFor(const std::string& path) {
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

void CentreServer::HoldOpen(int socket) const {
  while (!stopping_) {
    if (ServerSocket::WaitReadable(socket, 50) <= 0) continue;
    char discard[4096];
    if (ServerSocket::Receive(socket, discard, sizeof discard) <= 0) return;
  }
}

void CentreServer::HoldUnread(int socket) const {
  while (!stopping_) {
    if (ServerSocket::WaitHangUp(socket, 50)) return;
  }
}

// A refused request may still be on its way: closing with unread bytes would
// reset the connection, which can destroy the answer before the client has
// read it. So the rest is read and dropped, for a while.
void CentreServer::DropUnread(int socket) const {
  ServerSocket::ShutdownWrite(socket);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  std::size_t dropped = 0;
  char discard[16384];
  while (dropped < 4u * 1024 * 1024 && std::chrono::steady_clock::now() < deadline) {
    if (ServerSocket::WaitReadable(socket, 100) <= 0) continue;
    const auto count = ServerSocket::Receive(socket, discard, sizeof discard);
    if (count <= 0) return;
    dropped += static_cast<std::size_t>(count);
  }
}

void CentreServer::Pause() const { std::this_thread::sleep_for(std::chrono::milliseconds(pauseMilliseconds_.load())); }

bool CentreServer::Flush(SSL* session, int socket, bool bytePerSegment) const {
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
        const auto result = ServerSocket::Send(socket, buffer + offset + sent, length - sent);
        if (result <= 0) return false;
        sent += static_cast<int>(result);
      }
    }
  }
}

bool CentreServer::Deliver(SSL* session, int socket, const Answer& answer) const {
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
      ServerSocket::SetNoDelay(socket);
      return write(head, true) && write(answer.body, false);
    }
    case Delivery::kTinyTlsRecords: {
      const std::string all = head + answer.body;
      for (std::size_t offset = 0; offset < all.size(); offset += 3) {
        if (!write(all.substr(offset, 3), false)) return false;
      }
      return true;
    }
    case Delivery::kTrickle: {
      ServerSocket::SetNoDelay(socket);
      const std::string all = head + answer.body;
      for (std::size_t offset = 0; offset < all.size() && !stopping_; ++offset) {
        Pause();
        if (!write(all.substr(offset, 1), false)) return false;
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

bool CentreServer::TrickleIn(int socket, BIO* into) const {
  Pause();
  char buffer[1024];
  while (!stopping_) {
    if (ServerSocket::WaitReadable(socket, 50) <= 0) continue;
    const auto count = ServerSocket::Receive(socket, buffer, sizeof buffer);
    if (count <= 0) return false;
    return BIO_write(into, buffer, static_cast<int>(count)) == count;
  }
  return false;
}

void CentreServer::SendEndlessBody(SSL* session, int socket, const Answer& answer) const {
  std::string head = answer.statusLine + "\r\n";
  for (const auto& line : answer.headerLines) head += line + "\r\n";
  head += "\r\n";
  SSL_write(session, head.data(), static_cast<int>(head.size()));
  const std::string filler(16384, 'x');
  while (!stopping_ && Flush(session, socket, false)) {
    if (SSL_write(session, filler.data(), static_cast<int>(filler.size())) <= 0) return;
  }
}

void CentreServer::Finished() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++finished_;
  endedThreads_.push_back(std::this_thread::get_id());
  finishedChanged_.notify_all();
}

void CentreServer::Serve(int socket) {
  ServeConnection(socket);
  Finished();
}

void CentreServer::ServeConnection(int socket) {
  const auto closeSocket = [&](bool reset) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (reset) {
      ServerSocket::SetResetOnClose(socket);
    }
    openSockets_.erase(socket);
    ServerSocket::Close(socket);
  };

  if (const int seconds = idleTimeoutSeconds_.load(); seconds > 0) {
    ServerSocket::SetIoTimeout(socket, seconds);
  }

  if (stallHandshake_) {
    HoldOpen(socket);
    closeSocket(false);
    return;
  }

  SSL* session = SSL_new(context_);
  SSL_set_fd(session, socket);
  if (SSL_accept(session) <= 0) {
    ++handshakeFailures_;
    SSL_free(session);
    closeSocket(false);
    return;
  }
  ++handshakes_;
  if (SSL_session_reused(session)) ++resumed_;
  // From here on every record is written to memory first, so the centre can
  // cut the bytes up as it was told to.
  SSL_set0_wbio(session, BIO_new(BIO_s_mem()));

  std::size_t slot = std::string::npos;
  if (recording_) {
    std::lock_guard<std::mutex> lock(mutex_);
    slot = requests_.size();
    requests_.emplace_back();
  }

  Answer answer;
  bool reset = false;
  const bool complete = ReadRequest(session, socket, slot, &answer, &reset);

  if (reset) {
    SSL_free(session);
    closeSocket(true);
    return;
  }
  if (complete) {
    switch (answer.fault) {
      case Fault::kStallBeforeHead:
        HoldOpen(socket);
        break;
      case Fault::kCloseBeforeStatus:
        break;
      case Fault::kEndlessBody:
        SendEndlessBody(session, socket, answer);
        break;
      case Fault::kTlsAlert: {
        // A plain fatal alert (internal error) where an answer was due.
        static const unsigned char kAlert[] = {21, 3, 3, 0, 2, 2, 80};
        ServerSocket::Send(socket, kAlert, sizeof kAlert);
        break;
      }
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
      case Fault::kTrickleReadUpload:
        if (Deliver(session, socket, answer)) {
          if (answer.keepOpen) HoldOpen(socket);
          SSL_shutdown(session);
          Flush(session, socket, false);
          if (answer.refusal) DropUnread(socket);
        }
        break;
    }
  }
  SSL_free(session);
  closeSocket(false);
}

bool CentreServer::ReadRequest(SSL* session, int socket, std::size_t slot, Answer* answer, bool* reset) {
  Handler handler;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    handler = handler_;
  }
  Request request;
  std::string& received = request.bytes;
  bool haveHead = false;
  std::size_t headLength = 0;
  long long bodyLength = 0;
  char buffer[16384];
  BIO* trickle = nullptr;  // the session's reading end while the body trickles in
  for (;;) {
    if (trickle != nullptr && !TrickleIn(socket, trickle)) return false;
    const int count = SSL_read(session, buffer, sizeof buffer);
    if (count <= 0) {
      if (trickle != nullptr && SSL_get_error(session, count) == SSL_ERROR_WANT_READ) continue;
      return false;
    }
    received.append(buffer, static_cast<std::size_t>(count));
    if (slot != std::string::npos) {
      std::lock_guard<std::mutex> lock(mutex_);
      if (slot < requests_.size()) requests_[slot].bytes.append(buffer, static_cast<std::size_t>(count));
    }
    if (!haveHead) {
      const auto end = received.find("\r\n\r\n");
      if (end == std::string::npos || end + 4 > kMaxHeadBytes) {
        if (received.size() <= kMaxHeadBytes) continue;
        *answer = Refusal("HTTP/1.1 431 Request Header Fields Too Large");
        return true;
      }
      haveHead = true;
      headLength = end + 4;
      const Request head{received.substr(0, headLength)};
      if (!AcceptHead(head, &bodyLength, answer)) return true;
      received.reserve(headLength + static_cast<std::size_t>(bodyLength));
      if (slot != std::string::npos) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (slot < requests_.size()) requests_[slot].bytes.reserve(received.capacity());
      }
      if (!handler) *answer = AnswerFor(head.Path());
      if (answer->fault == Fault::kTrickleReadUpload) {
        // From now on the session reads only what is moved to it, and the
        // kernel holds little for it: the client's writes wait on us.
        const int small = 4096;
        ServerSocket::SetReceiveBuffer(socket, small);
        trickle = BIO_new(BIO_s_mem());
        BIO_set_mem_eof_return(trickle, -1);
        SSL_set0_rbio(session, trickle);
      }
    }
    const std::size_t bodyReceived = received.size() - headLength;
    if (answer->fault == Fault::kResetMidUpload && bodyReceived >= kResetAfterBodyBytes) {
      *reset = true;
      return false;
    }
    if (answer->fault == Fault::kStallMidUpload && bodyReceived >= kResetAfterBodyBytes) {
      HoldUnread(socket);
      return false;
    }
    if (static_cast<long long>(bodyReceived) >= bodyLength) break;
  }
  if (handler) {
    received.resize(headLength + static_cast<std::size_t>(bodyLength));
    try {
      *answer = handler(request);
    } catch (const std::exception&) {
      *answer = Refusal("HTTP/1.1 500 Internal Server Error");
    }
  }
  return true;
}

}  // namespace veradex::centre
