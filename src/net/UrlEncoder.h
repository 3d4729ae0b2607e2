#pragma once

#include <string>

namespace veradex {

// Percent-encoding of form values. Letters, digits and ' ( ) * - . _ pass
// unchanged; every other byte (controls, space, the reserved characters and
// every byte of Korean text) becomes "%" and two upper-case hexadecimal digits.
// A space is "%20", never "+".
class UrlEncoder {
 public:
  virtual ~UrlEncoder() = default;

  static bool NeedsEscape(unsigned char byte);
  static std::string ToHex(unsigned char byte);
  static std::string Escape(unsigned char byte);
  static std::string Encode(const std::string& text);

  // Appends "&" + name + "=" + Encode(value) to the form text; the name goes
  // in unchanged. The first pair also starts with "&", which the form post drops.
  static void AppendPair(std::string& formText, const std::string& name, const std::string& value);
};

}  // namespace veradex
