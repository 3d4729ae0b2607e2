#pragma once

#include <string>

namespace veradex {

// Line breaks as the report centre receives them: CR LF, the way the
// original platform's edit controls hand over multi-line text. Works on code
// page 949 bytes (no double-byte character contains CR or LF).
class LineBreaks {
 public:
  // Every LF and every lone CR becomes CR LF; a CR LF stays as it is.
  static std::string ToCrLf(const std::string& text);
};

}  // namespace veradex
