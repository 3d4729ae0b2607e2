#pragma once

#include <string>

namespace veradex::centre {

// The subject and sender of a saved mail message, as UTF-8 text for the
// centre's pages: header lines unfolded, encoded words (=?charset?B?...?=,
// =?charset?Q?...?=) decoded, raw bytes read as UTF-8 or else code page 949.
class MailHeaders {
 public:
  static MailHeaders Read(const std::string& message);
  // Bytes in charset as UTF-8; empty when the charset is unknown.
  static std::string ToUtf8(const std::string& bytes, const std::string& charset);
  // Code page 949 bytes as UTF-8; a byte that is no character becomes '?'.
  static std::string Cp949ToUtf8(const std::string& bytes);

  const std::string& Subject() const { return subject_; }
  const std::string& From() const { return from_; }

 private:
  std::string subject_;
  std::string from_;
};

}  // namespace veradex::centre
