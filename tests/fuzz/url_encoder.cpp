// Form pairs as the report form builds them: the value encoded, the name as
// it is. Decoding the value gives back its bytes, and only the unreserved
// bytes pass unescaped.
#include "FuzzSupport.h"
#include "net/UrlEncoder.h"

using namespace veradex;

namespace {

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string fields[2];
  fuzz::SplitFields(data, size, fields, 2);
  const std::string& name = fields[0];
  const std::string& value = fields[1];
  std::string form = "&a=1";
  UrlEncoder::AppendPair(form, name, value);
  const std::string prefix = "&a=1&" + name + "=";
  fuzz::Require(form.compare(0, prefix.size(), prefix) == 0, "name goes in unchanged");
  const std::string encoded = form.substr(prefix.size());
  std::string decoded;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(encoded[i]);
    if (c == '%') {
      fuzz::Require(i + 2 < encoded.size(), "escape has two digits");
      fuzz::Require(Hex(encoded[i + 1]) >= 0 && Hex(encoded[i + 2]) >= 0, "escape digits are upper-case hex");
      decoded += static_cast<char>(Hex(encoded[i + 1]) * 16 + Hex(encoded[i + 2]));
      i += 2;
    } else {
      fuzz::Require(!UrlEncoder::NeedsEscape(c), "only unreserved bytes pass");
      decoded += static_cast<char>(c);
    }
  }
  fuzz::Require(decoded == value, "decoding gives the value back");
  return 0;
}
