#include "platform/Cp949.h"

#include <wx/strconv.h>

namespace veradex {

namespace {

wxCSConv& Converter() {
  static wxCSConv conv(wxT("CP949"));
  return conv;
}

bool IsTrailByte(unsigned char byte) {
  return (byte >= 0x41 && byte <= 0x5A) || (byte >= 0x61 && byte <= 0x7A) || (byte >= 0x81 && byte <= 0xFE);
}

}  // namespace

wxString Cp949::ToWx(const std::string& bytes) {
  if (bytes.empty()) return wxString();
  wxString text(bytes.data(), Converter(), bytes.size());
  if (!text.empty() || bytes.empty()) return text;
  // Invalid bytes somewhere: decode character by character.
  wxString result;
  for (std::size_t i = 0; i < bytes.size();) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    const std::size_t len = (IsLeadByte(c) && i + 1 < bytes.size()) ? 2 : 1;
    wxString piece(bytes.data() + i, Converter(), len);
    if (piece.empty()) {
      if (c < 0x80 && c != 0)
        piece = wxString(static_cast<wxChar>(c));
      else
        piece = wxString(wxUniChar(0xFFFD));
    }
    result += piece;
    i += len;
  }
  return result;
}

bool Cp949::FromWx(const wxString& text, std::string* out) {
  out->clear();
  if (text.empty()) return true;
  const wxCharBuffer buffer = text.mb_str(Converter());
  if (buffer.length() == 0) return false;
  out->assign(buffer.data(), buffer.length());
  return true;
}

std::string Cp949::FromWxLossy(const wxString& text) {
  std::string out;
  if (FromWx(text, &out)) return out;
  for (wxString::const_iterator it = text.begin(); it != text.end(); ++it) {
    std::string piece;
    if (FromWx(wxString(*it), &piece))
      out += piece;
    else
      out += '?';
  }
  return out;
}

bool Cp949::IsValid(const std::string& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) continue;
    if (!IsLeadByte(c) || i + 1 >= bytes.size() || !IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) return false;
    ++i;
  }
  return true;
}

std::size_t Cp949::WholeCharacterPrefix(const std::string& bytes, std::size_t limit) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t len = IsLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
    if (i + len > limit) break;
    i += len;
  }
  return i < bytes.size() ? i : bytes.size();
}

}  // namespace veradex
