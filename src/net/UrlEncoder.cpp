#include "net/UrlEncoder.h"

#include <cstring>

namespace veradex {

namespace {
// Escaped besides the controls, the space and everything from "{" up.
constexpr char kEscapeSet[] = "\"<>%\\^[]`+$,@:;/!#?=&";
constexpr char kHexDigits[] = "0123456789ABCDEF";
}  // namespace

bool UrlEncoder::NeedsEscape(unsigned char byte) {
  const signed char value = static_cast<signed char>(byte);
  return value <= 0x20 || value >= 0x7B || std::memchr(kEscapeSet, byte, sizeof kEscapeSet - 1) != nullptr;
}

std::string UrlEncoder::ToHex(unsigned char byte) { return {kHexDigits[byte >> 4], kHexDigits[byte & 0x0F]}; }

std::string UrlEncoder::Escape(unsigned char byte) { return "%" + ToHex(byte); }

std::string UrlEncoder::Encode(const std::string& text) {
  std::string encoded;
  encoded.reserve(text.size() * 3);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (NeedsEscape(byte)) {
      encoded += Escape(byte);
    } else {
      encoded += c;
    }
  }
  return encoded;
}

void UrlEncoder::AppendPair(std::string& formText, const std::string& name, const std::string& value) {
  formText += '&';
  formText += name;
  formText += '=';
  formText += Encode(value);
}

}  // namespace veradex
