#pragma once

#include <cstddef>
#include <string>

#include "net/ByteStream.h"
#include "net/MultipartBody.h"
#include "net/NetError.h"
#include "net/ServerConfig.h"
#include "net/TransferObserver.h"

namespace veradex {

class TlsSessionCache;

// The three HTTP/1.1 exchanges with the centre's servers. Each opens its own
// TLS connection (HttpConnection) to the server's port with the time-outs and
// extra authority of the configuration, sends one request, reads just enough
// of the answer to decide and lets the connection go. They show nothing: a
// failure comes back as a NetError, and the caller chooses what to tell the
// user.
class HttpExchange {
 public:
  static constexpr const char* kBoundary = "---------------------------7d32231303e8";
  // The server's texts: 실패했습니다 (upload failed), 접수되었습니다. (received),
  // 접수되지. (not received). They are compared, never shown.
  static constexpr const char* kServerFailureText = "\xbd\xc7\xc6\xd0\xc7\xdf\xbd\xc0\xb4\xcf\xb4\xd9";
  static constexpr const char* kVerdictReceived = "\xc1\xa2\xbc\xf6\xb5\xc7\xbe\xfa\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
  static constexpr const char* kVerdictNotReceived = "\xc1\xa2\xbc\xf6\xb5\xc7\xc1\xf6\x2e";

  // Sizes of the answers read.
  static constexpr int kUploadAnswerBuffer = 4096;
  static constexpr int kFormReadPiece = 1024;
  static constexpr int kPageHeadBuffer = 4096;
  static constexpr int kPageBodyBuffer = 512;
  static constexpr int kUploadChunk = 1024;
  // A form answer without a verdict in this many bytes has none.
  static constexpr std::size_t kFormAnswerLimit = 64 * 1024;

  // Uploads the body and gives back the cookie value the answer set
  // (everything after "Set-Cookie:" up to the first ';', CR or LF, leading
  // blank kept), the empty text when it set none. Progress goes to the
  // observer (may be null). Fails with the connection's error, kSend,
  // kReceive (no answer, or its head cut off), kHttpStatus (not
  // "HTTP/1.1 200 OK") or kRefused (the server's failure text).
  // With sessions, the connection resumes a TLS session kept there and keeps
  // its own (PostForm alike).
  static NetResult<std::string> PostMultipart(const MultipartBody& body, const ServerAddress& server,
                                              const std::string& path, TransferObserver* observer,
                                              const std::string& cookie, const ServerConfig& config,
                                              TlsSessionCache* sessions = nullptr);

  // Posts the form text (pairs each starting with "&"; the first "&" is
  // dropped). Fails with the connection's error, kSend, kReceive (no answer,
  // one cut off before its head or announced body ended, or none with a
  // verdict in kFormAnswerLimit bytes) or kRefused (the server said the
  // report was not received). The
  // answer's body (as far as it was read) goes to answerBody when given.
  static NetResult<void> PostForm(const std::string& formText, const ServerAddress& server, const std::string& path,
                                  const std::string& cookie, const ServerConfig& config,
                                  std::string* answerBody = nullptr, TlsSessionCache* sessions = nullptr);

  // Sends an empty multipart POST to the page and gives back its body (at
  // most 511 bytes). Fails with the connection's error, kSend, kReceive (no
  // answer, or its head cut off) or kHttpStatus (a status other than 200).
  static NetResult<std::string> QueryPage(const ServerAddress& server, const std::string& path,
                                          const ServerConfig& config);

  // The same exchanges over a stream that is already open: each sends its
  // request text (head, and for the upload the body after it), reads and
  // judges the answer as above. UploadOver closes the stream after reading.
  static NetResult<std::string> UploadOver(ByteStream& stream, const MultipartBody& body, const std::string& head,
                                           TransferObserver* observer);
  static NetResult<void> FormOver(ByteStream& stream, const std::string& request, std::string* answerBody);
  static NetResult<std::string> PageOver(ByteStream& stream, const std::string& head);

  // The request texts, byte for byte as they go out.
  static std::string CookieLine(const std::string& cookie);
  static std::string MultipartHead(const std::string& path, const std::string& cookie, const std::string& host,
                                   long long contentLength);
  static std::string FormRequest(const std::string& path, const std::string& cookie, const std::string& host,
                                 const std::string& body);

  // The status code after the first blank of the answer; -1 without a blank.
  static int StatusCode(const std::string& head);
  // The value of "Content-Length:"; -1 when absent.
  static long long ContentLengthOf(const std::string& head);
};

}  // namespace veradex
