#pragma once

#include <string>

#include <wx/string.h>

namespace veradex {

// The window code writes its Korean texts as UTF-8 literals; messages leave
// the GUI as code page 949 bytes, controls take wxString.
class Utf8Text {
 public:
  static wxString Wx(const char* utf8) { return wxString::FromUTF8(utf8); }
  static std::string ToCp949(const char* utf8);
  static std::string ToCp949(const wxString& text);
};

}  // namespace veradex
