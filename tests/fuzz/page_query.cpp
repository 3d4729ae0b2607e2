// The page query's answer (status code, Content-Length, the body after the
// head or in one more read) as the version check fetches it.
#include "FuzzSupport.h"
#include "net/HttpExchange.h"

using namespace veradex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::string head =
      HttpExchange::MultipartHead("/veradex/veradex_version.html", std::string(), "localhost", 0);
  fuzz::FuzzStream stream(data, size);
  const NetResult<std::string> page = HttpExchange::PageOver(stream, head);
  fuzz::Require(stream.Sent() == head, "the request went out whole");
  if (page) {
    fuzz::Require(page.Value().size() < static_cast<std::size_t>(HttpExchange::kPageBodyBuffer),
                  "body fits its buffer");
    fuzz::Require(page.Value().find('\0') == std::string::npos, "body ends at its first zero byte");
  }
  return 0;
}
