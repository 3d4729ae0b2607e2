#include "net/HttpExchange.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "net/AnswerReader.h"
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

// The status line of an answer, for the log.
std::string StatusLineOf(const std::string& answer) {
  return "answer \"" + answer.substr(0, std::min<std::size_t>(answer.find("\r\n"), 80)) + "\"";
}

// The body of the answer as far as it was read, for whoever keeps it.
void KeepAnswerBody(const std::string& answer, std::string* answerBody) {
  if (answerBody == nullptr) return;
  const std::size_t headEnd = answer.find(kHeadEnd);
  *answerBody = headEnd == std::string::npos ? answer : answer.substr(headEnd + std::strlen(kHeadEnd));
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

NetResult<std::string> HttpExchange::UploadOver(ByteStream& stream, const MultipartBody& body, const std::string& head,
                                                TransferObserver* observer) {
  const long long total = body.ContentLength();
  bool sent = stream.Send(head.data(), static_cast<int>(head.size()));

  const long long step = total / 100;
  long long sinceNotice = 0;
  int notices = 0;
  for (int i = 0; sent && i < body.PartCount(); ++i) {
    const MultipartPart& part = body.Part(i);
    const char* block = part.Block();
    const int length = part.BlockLength();
    for (int offset = 0; sent && offset < length; offset += HttpExchange::kUploadChunk) {
      if (length - offset < HttpExchange::kUploadChunk) {
        sent = stream.Send(block + offset, length - offset);
        continue;
      }
      sent = stream.Send(block + offset, HttpExchange::kUploadChunk);
      sinceNotice += HttpExchange::kUploadChunk;
      if (sent && sinceNotice > step) {
        sinceNotice = 0;
        ++notices;
        if (observer != nullptr) observer->OnProgress(notices);
      }
    }
  }
  if (sent) sent = stream.Send(MultipartPart::kClosingLine, MultipartPart::kClosingLineLength) && stream.Flush();
  if (!sent) return NetFailure{NetError::kSend, "upload of " + std::to_string(total) + " bytes"};

  // The whole answer head (a cookie may come in a later TLS record than the
  // status line), and the body after it as far as its length is announced
  // and the buffer holds it.
  AnswerReader reader(stream);
  reader.Read(AnswerReader::Until::kAnswerEnd, HttpExchange::kUploadAnswerBuffer - 1);
  if (observer != nullptr) observer->OnProgress(100);
  stream.Close();
  const std::string answer = reader.Text();

  if (answer.empty()) return NetFailure{NetError::kReceive, "no answer to the upload"};
  if (answer.compare(0, 15, "HTTP/1.1 200 OK") != 0) return NetFailure{NetError::kHttpStatus, StatusLineOf(answer)};
  // A head that never ended (cut off, or longer than the buffer) may have
  // lost the cookie it set.
  if (answer.find(kHeadEnd) == std::string::npos) return NetFailure{NetError::kReceive, "answer head cut off"};
  if (const auto found = answer.find("Set-Cookie:"); found != std::string::npos) {
    const auto start = found + 11;
    const auto end = answer.find_first_of(";\r\n", start);
    if (end == std::string::npos) return NetFailure{NetError::kReceive, "cookie line cut off"};
    return answer.substr(start, end - start);
  }
  if (answer.find(HttpExchange::kServerFailureText) != std::string::npos) {
    return NetFailure{NetError::kRefused, "the server's failure text"};
  }
  return std::string();
}

NetResult<void> HttpExchange::FormOver(ByteStream& stream, const std::string& request, std::string* answerBody) {
  if (!stream.Send(request.data(), static_cast<int>(request.size())) || !stream.Flush()) {
    return NetFailure{NetError::kSend, "form of " + std::to_string(request.size()) + " bytes"};
  }
  // Read until a verdict shows; a server that keeps the connection open has
  // said all once the body its head announced is in.
  std::string answer;  // as text (each read up to a zero byte), for the verdicts
  AnswerReader reader(stream);
  reader.Read(AnswerReader::Until::kAnnouncedBody, HttpExchange::kFormAnswerLimit, HttpExchange::kFormReadPiece,
              [&answer](const char* bytes, std::size_t count) {
                answer += AsText(bytes, count);
                return answer.find(HttpExchange::kVerdictReceived) != std::string::npos ||
                       answer.find(HttpExchange::kVerdictNotReceived) != std::string::npos;
              });
  const std::string& wire = reader.Wire();
  if (answer.find(HttpExchange::kVerdictReceived) != std::string::npos) {
    KeepAnswerBody(answer, answerBody);
    return {};
  }
  if (answer.find(HttpExchange::kVerdictNotReceived) != std::string::npos) {
    KeepAnswerBody(answer, answerBody);
    return NetFailure{NetError::kRefused, "the report was not received"};
  }
  if (!reader.Complete() && wire.size() >= HttpExchange::kFormAnswerLimit) {
    KeepAnswerBody(answer, answerBody);
    return NetFailure{NetError::kReceive, "no verdict in the first " + std::to_string(wire.size()) + " bytes"};
  }
  // No answer at all (closed or silent server) is no report received; nor
  // is one cut off before its head, or its announced body, was complete.
  if (wire.empty()) return NetFailure{NetError::kReceive, "no answer to the form"};
  KeepAnswerBody(answer, answerBody);
  if (!reader.HeadEnded() || (reader.AnnouncedLength() >= 0 && !reader.Complete())) {
    return NetFailure{NetError::kReceive, "answer cut off after " + std::to_string(wire.size()) + " bytes"};
  }
  return {};
}

NetResult<std::string> HttpExchange::PageOver(ByteStream& stream, const std::string& head) {
  if (!stream.Send(head.data(), static_cast<int>(head.size())) || !stream.Flush()) {
    return NetFailure{NetError::kSend, "page request"};
  }

  // The head, with whatever of the body came with it; then one read of the body.
  AnswerReader reader(stream);
  reader.Read(AnswerReader::Until::kHeadEnd, HttpExchange::kPageHeadBuffer - 1);
  const std::string answer = reader.Text();

  if (answer.empty()) return NetFailure{NetError::kReceive, "no answer to the page request"};
  if (HttpExchange::StatusCode(answer) != 200) return NetFailure{NetError::kHttpStatus, StatusLineOf(answer)};
  // The rest of a head that never ended is no body.
  if (answer.find(kHeadEnd) == std::string::npos) return NetFailure{NetError::kReceive, "page head cut off"};
  const long long contentLength = reader.AnnouncedLength();

  const auto headEnd = answer.find(kHeadEnd);
  if (headEnd != std::string::npos && answer.size() > headEnd + 4) {
    return answer.substr(headEnd + 4, HttpExchange::kPageBodyBuffer - 1);
  }
  std::vector<char> bodyBuffer(HttpExchange::kPageBodyBuffer, '\0');
  long long capacity = HttpExchange::kPageBodyBuffer - 1;
  if (contentLength >= 0) capacity = std::min(capacity, contentLength);
  int count = 0;
  if (capacity > 0) count = stream.Receive(bodyBuffer.data(), static_cast<int>(capacity));
  return AsText(bodyBuffer.data(), static_cast<std::size_t>(std::max(count, 0)));
}

namespace {

HttpConnection ConnectionFor(const ServerConfig& config) {
  return HttpConnection(true, config.connectTimeout, config.receiveTimeout, config.caFile,
                        Deadline(config.answerLimit, config.sendWindow));
}

}  // namespace

NetResult<std::string> HttpExchange::PostMultipart(const MultipartBody& body, const ServerAddress& server,
                                                   const std::string& path, TransferObserver* observer,
                                                   const std::string& cookie, const ServerConfig& config,
                                                   TlsSessionCache* sessions) {
  HttpConnection connection = ConnectionFor(config);
  if (const auto connected = connection.Connect(server.host, server.port, sessions); !connected) {
    return connected.Failure();
  }
  return UploadOver(connection, body, MultipartHead(path, cookie, server.host, body.ContentLength()), observer);
}

NetResult<void> HttpExchange::PostForm(const std::string& formText, const ServerAddress& server,
                                       const std::string& path, const std::string& cookie, const ServerConfig& config,
                                       std::string* answerBody, TlsSessionCache* sessions) {
  const std::string body = formText.empty() ? std::string() : formText.substr(1);
  const std::string request = FormRequest(path, cookie, server.host, body);
  HttpConnection connection = ConnectionFor(config);
  if (const auto connected = connection.Connect(server.host, server.port, sessions); !connected) {
    return connected.Failure();
  }
  return FormOver(connection, request, answerBody);
}

NetResult<std::string> HttpExchange::QueryPage(const ServerAddress& server, const std::string& path,
                                               const ServerConfig& config) {
  HttpConnection connection = ConnectionFor(config);
  if (const auto connected = connection.Connect(server.host, server.port); !connected) return connected.Failure();
  return PageOver(connection, MultipartHead(path, std::string(), server.host, 0));
}

}  // namespace veradex
