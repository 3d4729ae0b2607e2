#pragma once

#include <cstddef>
#include <string>

#include <wx/string.h>

namespace veradex {

// Code page 949 (Unified Hangul Code) text. The program keeps every domain
// text as CP949 bytes; these helpers are the one place where such bytes meet
// wxString (the GUI boundary) and where byte limits meet whole characters.
class Cp949 {
 public:
  // Decodes CP949 bytes. Bytes that are not valid CP949 decode as U+FFFD
  // rather than vanishing.
  static wxString ToWx(const std::string& bytes);
  // Encodes to CP949. Returns false (and leaves out empty) when some
  // character has no CP949 form, an emoji for example.
  static bool FromWx(const wxString& text, std::string* out);
  // Encodes, replacing characters without a CP949 form by '?'. For texts
  // that must never fail (file names shown back to the user).
  static std::string FromWxLossy(const wxString& text);
  // A UTF-8 literal of the source code in code page 949 (the program's own
  // Korean texts), lossy like FromWxLossy.
  static std::string FromUtf8(const char* utf8) { return FromWxLossy(wxString::FromUTF8(utf8)); }

  // True when the bytes are a sequence of whole CP949 characters.
  static bool IsValid(const std::string& bytes);
  // Length of the longest prefix of at most limit bytes that does not split a
  // double-byte character.
  static std::size_t WholeCharacterPrefix(const std::string& bytes, std::size_t limit);
  // True when the byte starts a double-byte character.
  static bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
};

}  // namespace veradex
