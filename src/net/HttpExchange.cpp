#include "net/HttpExchange.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "net/HttpConnection.h"

namespace veradex {

namespace {

constexpr char kAcceptLines[] =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-powerpoint, "
    "application/vnd.ms-excel, application/msword, application/x-shockwave-flash, */*\r\n"
    "Accept-Language: ko,en-us;q=0.5\r\n";
constexpr char kHeadEnd[] = "\r\n\r\n";

std::string RequestHead(const std::string& path, const std::string& cookie, const char* contentType,
                        const char* userAgent, const std::string& host, long long contentLength) {
  std::string head = "POST " + path + " HTTP/1.1\r\n";
  head += kAcceptLines;
  head += HttpExchange::CookieLine(cookie);
  head += "Content-Type: ";
  head += contentType;
  head += "\r\nAccept-Encoding: gzip, deflate\r\nUser-Agent: ";
  head += userAgent;
  head += "\r\nHost: " + host + "\r\nContent-Length: " + std::to_string(contentLength) +
          "\r\nConnection: Keep-Alive\r\nCache-Control: no-cache\r\n\r\n";
  return head;
}

// Digits after an optional sign, read from text[position]; 0 when none.
long long LeadingNumber(const std::string& text, std::size_t position) {
  bool negative = false;
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
    negative = text[position] == '-';
    ++position;
  }
  long long value = 0;
  while (position < text.size() && text[position] >= '0' && text[position] <= '9') {
    if (value < 1000000000000LL) value = value * 10 + (text[position] - '0');
    ++position;
  }
  return negative ? -value : value;
}

// The answer as text: the bytes up to the first zero byte.
std::string AsText(const char* bytes, std::size_t count) {
  return std::string(bytes, std::find(bytes, bytes + count, '\0'));
}

// The answer is complete when its head has ended and the body announced by
// Content-Length has arrived.
bool AnswerComplete(const std::string& answer) {
  const auto headEnd = answer.find(kHeadEnd);
  if (headEnd == std::string::npos) return false;
  const long long length = HttpExchange::ContentLengthOf(answer.substr(0, headEnd + 2));
  return length >= 0 && static_cast<long long>(answer.size() - headEnd - 4) >= length;
}

}  // namespace

std::string HttpExchange::CookieLine(const std::string& cookie) {
  return cookie.empty() ? std::string() : "Cookie: " + cookie + "\r\n";
}

std::string HttpExchange::MultipartHead(const std::string& path, const std::string& cookie, const std::string& host,
                                        long long contentLength) {
  const std::string contentType = std::string("multipart/form-data; boundary=") + kBoundary;
  return RequestHead(path, cookie, contentType.c_str(), "Veradex3.1", host, contentLength);
}

std::string HttpExchange::FormRequest(const std::string& path, const std::string& cookie, const std::string& host,
                                      const std::string& body) {
  return RequestHead(path, cookie, "application/x-www-form-urlencoded", "Veradex2.0", host,
                     static_cast<long long>(body.size())) +
         body;
}

int HttpExchange::StatusCode(const std::string& head) {
  static const char kBlanks[] = " \t\r\n";
  auto position = head.find_first_of(kBlanks);
  if (position == std::string::npos) return -1;
  position = head.find_first_not_of(kBlanks, position);
  if (position == std::string::npos) return 0;
  return static_cast<int>(LeadingNumber(head, position));
}

long long HttpExchange::ContentLengthOf(const std::string& head) {
  static const char kName[] = "Content-Length:";
  const auto found = head.find(kName);
  if (found == std::string::npos) return -1;
  auto position = found + sizeof kName - 1;
  const auto lineEnd = head.find("\r\n", position);
  const std::string value =
      head.substr(position, lineEnd == std::string::npos ? std::string::npos : lineEnd - position);
  std::size_t start = 0;
  while (start < value.size() && (value[start] == ' ' || value[start] == '\t')) ++start;
  return LeadingNumber(value, start);
}

std::string HttpExchange::PostMultipart(const MultipartBody& body, const ServerAddress& server, const std::string& path,
                                        TransferObserver* observer, const std::string& cookie,
                                        const ServerConfig& config, MessageSink& sink) {
  HttpConnection connection(true, config.connectTimeout, config.receiveTimeout, config.caFile);
  if (connection.Connect(server.host, server.port) != 1) {
    connection.Shutdown();
    sink.ShowMessage(kConnectFailed, kStyleStop);
    return "false";
  }

  const long long total = body.ContentLength();
  const std::string head = MultipartHead(path, cookie, server.host, total);
  bool sent = connection.Send(head.data(), static_cast<int>(head.size())) > 0;

  const long long step = total / 100;
  long long sinceNotice = 0;
  int notices = 0;
  for (int i = 0; sent && i < body.PartCount(); ++i) {
    const MultipartPart& part = body.Part(i);
    const char* block = part.Block();
    const int length = part.BlockLength();
    for (int offset = 0; sent && offset < length; offset += kUploadChunk) {
      if (length - offset < kUploadChunk) {
        sent = connection.Send(block + offset, length - offset) > 0;
        continue;
      }
      sent = connection.Send(block + offset, kUploadChunk) > 0;
      sinceNotice += kUploadChunk;
      if (sent && sinceNotice > step) {
        sinceNotice = 0;
        ++notices;
        if (observer != nullptr) observer->OnProgress(notices);
      }
    }
  }
  if (sent) sent = connection.Send(MultipartPart::kClosingLine, MultipartPart::kClosingLineLength) > 0;
  if (!sent) {
    connection.Shutdown();
    sink.ShowMessage(kSendFailed, kStyleStop);
    return "false";
  }

  // The whole answer head (a cookie may come in a later TLS record than the
  // status line), and the body after it as far as its length is announced
  // and the buffer holds it.
  std::vector<char> buffer(kUploadAnswerBuffer, '\0');
  int received = 0;
  while (received < kUploadAnswerBuffer - 1) {
    const int count = connection.Receive(buffer.data() + received, kUploadAnswerBuffer - 1 - received);
    if (count <= 0) break;
    received += count;
    const std::string soFar(buffer.data(), static_cast<std::size_t>(received));
    const auto headEnd = soFar.find(kHeadEnd);
    if (headEnd != std::string::npos && (ContentLengthOf(soFar.substr(0, headEnd + 2)) < 0 || AnswerComplete(soFar))) {
      break;
    }
  }
  if (observer != nullptr) observer->OnProgress(100);
  connection.Close();
  const std::string answer = AsText(buffer.data(), static_cast<std::size_t>(received));

  std::string result;
  if (answer.compare(0, 15, "HTTP/1.1 200 OK") != 0) {
    sink.ShowMessage(kRegistrationFailed, kStyleStop);
    result = "false";
  } else if (const auto found = answer.find("Set-Cookie:"); found != std::string::npos) {
    const auto start = found + 11;
    const auto end = answer.find_first_of(";\r\n", start);
    if (end == std::string::npos) {
      sink.ShowMessage(kRegistrationFailed, kStyleStop);
      result = "false";
    } else {
      result = answer.substr(start, end - start);
    }
  } else if (answer.find(kServerFailureText) != std::string::npos) {
    sink.ShowMessage(kUploadFailed, kStyleStop);
    result = "false";
  }
  connection.Shutdown();
  return result;
}

bool HttpExchange::PostForm(const std::string& formText, const ServerAddress& server, const std::string& path,
                            const std::string& cookie, const ServerConfig& config, MessageSink& sink,
                            std::string* answerBody) {
  const std::string body = formText.empty() ? std::string() : formText.substr(1);
  const std::string request = FormRequest(path, cookie, server.host, body);

  HttpConnection connection(true, config.connectTimeout, config.receiveTimeout, config.caFile);
  if (connection.Connect(server.host, server.port) != 1 ||
      connection.Send(request.data(), static_cast<int>(request.size())) <= 0) {
    connection.Shutdown();
    return false;
  }

  bool result = true;
  bool anyAnswer = false;
  std::string answer;
  char piece[kFormReadPiece];
  for (;;) {
    const int count = connection.Receive(piece, kFormReadPiece);
    if (count <= 0) break;
    anyAnswer = true;
    answer += AsText(piece, static_cast<std::size_t>(count));
    if (answer.find(kVerdictReceived) != std::string::npos) break;
    if (answer.find(kVerdictNotReceived) != std::string::npos) {
      sink.ShowMessage(kNotReceived, kStyleStop);
      result = false;
      break;
    }
    // A server that keeps the connection open has said all once the body
    // its head announced is in.
    if (AnswerComplete(answer)) break;
  }
  // No answer at all (closed or silent server) is no report received.
  if (!anyAnswer) result = false;
  if (answerBody != nullptr) {
    const std::size_t headEnd = answer.find(kHeadEnd);
    *answerBody = headEnd == std::string::npos ? answer : answer.substr(headEnd + std::strlen(kHeadEnd));
  }
  connection.Close();
  connection.Shutdown();
  return result;
}

bool HttpExchange::QueryPage(const ServerAddress& server, const std::string& path, std::string& body,
                             const ServerConfig& config, MessageSink& sink) {
  HttpConnection connection(true, config.connectTimeout, config.receiveTimeout, config.caFile);
  if (connection.Connect(server.host, server.port) != 1) {
    connection.Shutdown();
    sink.ShowMessage(kConnectFailed, kStyleStop);
    return false;
  }
  const std::string head = MultipartHead(path, std::string(), server.host, 0);
  if (connection.Send(head.data(), static_cast<int>(head.size())) <= 0) {
    connection.Shutdown();
    sink.ShowMessage(kSendFailed, kStyleStop);
    return false;
  }

  std::vector<char> headBuffer(kPageHeadBuffer, '\0');
  int received = 0;
  while (received < kPageHeadBuffer - 1) {
    const int count = connection.Receive(headBuffer.data() + received, kPageHeadBuffer - 1 - received);
    if (count <= 0) break;
    received += count;
    if (std::string(headBuffer.data(), static_cast<std::size_t>(received)).find(kHeadEnd) != std::string::npos) break;
  }
  const std::string answer = AsText(headBuffer.data(), static_cast<std::size_t>(received));

  if (StatusCode(answer) != 200) {
    connection.Shutdown();
    sink.ShowMessage(kRegistrationFailed, kStyleStop);
    return false;
  }
  const long long contentLength = ContentLengthOf(answer);

  const auto headEnd = answer.find(kHeadEnd);
  if (headEnd != std::string::npos && answer.size() > headEnd + 4) {
    body = answer.substr(headEnd + 4, kPageBodyBuffer - 1);
  } else {
    std::vector<char> bodyBuffer(kPageBodyBuffer, '\0');
    long long capacity = kPageBodyBuffer - 1;
    if (contentLength >= 0) capacity = std::min(capacity, contentLength);
    int count = 0;
    if (capacity > 0) count = connection.Receive(bodyBuffer.data(), static_cast<int>(capacity));
    body = AsText(bodyBuffer.data(), static_cast<std::size_t>(std::max(count, 0)));
  }
  connection.Close();
  connection.Shutdown();
  return true;
}

}  // namespace veradex
