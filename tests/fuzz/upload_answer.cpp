// The upload's answer (status line, cookie capture, the body its
// Content-Length announces) as HttpExchange reads it after sending a file.
#include "FuzzSupport.h"
#include "net/HttpExchange.h"

using namespace veradex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::string head = HttpExchange::MultipartHead("/attach_query/attach.jsp", "", "localhost", 45);
  MultipartBody body;  // no part: only the closing line goes out
  fuzz::FuzzStream stream(data, size);
  const NetResult<std::string> cookie = HttpExchange::UploadOver(stream, body, head, nullptr);
  fuzz::Require(stream.Sent() == head + MultipartPart::kClosingLine, "the request went out whole");
  if (cookie) fuzz::Require(cookie.Value().find_first_of(";\r\n") == std::string::npos, "cookie ends at ; CR LF");
  return 0;
}
