#pragma once

#include <string>

#include "net/MultipartBody.h"
#include "net/ServerConfig.h"
#include "net/TransferObserver.h"
#include "platform/MessageSink.h"

namespace veradex {

// The three HTTP/1.1 exchanges with the centre's servers. Each opens its own
// TLS connection (HttpConnection) to the server's port with the time-outs and
// extra authority of the configuration, sends one request, reads just enough
// of the answer to decide, shuts the connection down and shows its own
// failure messages through the sink (style 16).
class HttpExchange {
 public:
  static constexpr const char* kBoundary = "---------------------------7d32231303e8";
  // 서버 연결에 실패 하였습니다.
  static constexpr const char* kConnectFailed =
      "\xbc\xad\xb9\xf6\x20\xbf\xac\xb0\xe1\xbf\xa1\x20\xbd\xc7\xc6\xd0\x20\xc7\xcf\xbf\xb4\xbd\xc0\xb4\xcf\xb4\xd9"
      "\x2e";
  // 전송이 실패했습니다.
  static constexpr const char* kSendFailed =
      "\xc0\xfc\xbc\xdb\xc0\xcc\x20\xbd\xc7\xc6\xd0\xc7\xdf\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
  // 등록이 실패하였습니다.
  static constexpr const char* kRegistrationFailed =
      "\xb5\xee\xb7\xcf\xc0\xcc\x20\xbd\xc7\xc6\xd0\xc7\xcf\xbf\xb4\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
  // 파일업로드중 실패하였습니다
  static constexpr const char* kUploadFailed =
      "\xc6\xc4\xc0\xcf\xbe\xf7\xb7\xce\xb5\xe5\xc1\xdf\x20\xbd\xc7\xc6\xd0\xc7\xcf\xbf\xb4\xbd\xc0\xb4\xcf\xb4\xd9";
  // 민원인님의 질문이 접수되지 않았습니다. 다시 시도해 주십시오.
  static constexpr const char* kNotReceived =
      "\xb9\xce\xbf\xf8\xc0\xce\xb4\xd4\xc0\xc7\x20\xc1\xfa\xb9\xae\xc0\xcc\x20\xc1\xa2\xbc\xf6\xb5\xc7\xc1\xf6\x20"
      "\xbe\xca\xbe\xd2\xbd\xc0\xb4\xcf\xb4\xd9\x2e\x20\xb4\xd9\xbd\xc3\x20\xbd\xc3\xb5\xb5\xc7\xd8\x20\xc1\xd6\xbd"
      "\xca\xbd\xc3\xbf\xc0\x2e";
  // The server's texts: 실패했습니다 (upload failed), 접수되었습니다. (received),
  // 접수되지. (not received).
  static constexpr const char* kServerFailureText = "\xbd\xc7\xc6\xd0\xc7\xdf\xbd\xc0\xb4\xcf\xb4\xd9";
  static constexpr const char* kVerdictReceived = "\xc1\xa2\xbc\xf6\xb5\xc7\xbe\xfa\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
  static constexpr const char* kVerdictNotReceived = "\xc1\xa2\xbc\xf6\xb5\xc7\xc1\xf6\x2e";

  // Sizes of the answers read.
  static constexpr int kUploadAnswerBuffer = 4096;
  static constexpr int kFormReadPiece = 1024;
  static constexpr int kPageHeadBuffer = 4096;
  static constexpr int kPageBodyBuffer = 512;
  static constexpr int kUploadChunk = 1024;

  // Uploads the body and returns the cookie value the answer set (everything
  // after "Set-Cookie:" up to the first ';', CR or LF, leading blank kept),
  // the empty text when it set none, or "false" on every failure. Progress
  // goes to the observer (may be null).
  static std::string PostMultipart(const MultipartBody& body, const ServerAddress& server, const std::string& path,
                                   TransferObserver* observer, const std::string& cookie, const ServerConfig& config,
                                   MessageSink& sink);

  // Posts the form text (pairs each starting with "&"; the first "&" is
  // dropped). False when the connection or the sending failed, when no answer
  // came at all, or when the server said the report was not received. The
  // answer's body (as far as it was read) goes to answerBody when given.
  static bool PostForm(const std::string& formText, const ServerAddress& server, const std::string& path,
                       const std::string& cookie, const ServerConfig& config, MessageSink& sink,
                       std::string* answerBody = nullptr);

  // Sends an empty multipart POST to the page and gives back its body (at
  // most 511 bytes). False on failure, after its message.
  static bool QueryPage(const ServerAddress& server, const std::string& path, std::string& body,
                        const ServerConfig& config, MessageSink& sink);

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
