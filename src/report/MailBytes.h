#pragma once

#include <cstddef>
#include <string_view>

namespace veradex {

// What both the summary and the mail reader need to know of a mail's bytes.
struct MailBytes {
  // More than any mail the list accepts; a bigger file is summarised from its start.
  static constexpr std::size_t kReadLimit = 8 * 1024 * 1024;

  // The length of the header block with the blank line that ends it ("\n\n"
  // or "\r\n\r\n", whichever comes first); npos when the block never ends.
  static std::size_t HeaderBlockLength(std::string_view bytes) {
    const std::size_t lf = bytes.find("\n\n");
    const std::size_t crlf = bytes.find("\r\n\r\n");
    if (crlf != std::string_view::npos && (lf == std::string_view::npos || crlf < lf)) return crlf + 4;
    return lf == std::string_view::npos ? lf : lf + 2;
  }

  // An Outlook message: a compound file (its signature first).
  static bool IsOutlookMessage(std::string_view bytes) {
    return bytes.substr(0, 8) == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
  }
};

}  // namespace veradex
