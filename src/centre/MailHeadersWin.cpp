// MailHeaders' character sets on Windows (no iconv there): the system's code
// pages through wxWidgets' converter, which knows the charset names of mail.
// MailHeadersIconv.cpp is the Linux side.
#include <wx/strconv.h>
#include <wx/string.h>

#include "centre/MailHeaders.h"

namespace veradex::centre {

std::string MailHeaders::ToUtf8(const std::string& bytes, const std::string& charset) {
  if (bytes.empty()) return std::string();
  const wxCSConv converter(wxString::FromAscii(charset.c_str()));
  if (!converter.IsOk()) return std::string();
  // A byte the character set does not allow fails the whole text (an empty
  // result), as iconv does.
  const wxString text(bytes.data(), converter, bytes.size());
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return std::string(utf8.data(), utf8.length());
}

}  // namespace veradex::centre
