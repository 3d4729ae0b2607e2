// The version page: its body as the page query hands it over (at most 511
// bytes, up to the first zero byte), read for the published version.
#include <cstring>

#include "FuzzSupport.h"
#include "report/VersionCheck.h"

using namespace veradex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  const std::string body(text, strnlen(text, std::min<std::size_t>(size, 511)));
  const std::string version = VersionCheck::PublishedVersion(body);
  fuzz::Require(version.find('|') == std::string::npos, "a value never holds a bar");
  fuzz::Require(version.size() <= body.size(), "the value is part of the body");
  return 0;
}
