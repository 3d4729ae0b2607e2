#pragma once

#include <string>

#include <wx/string.h>

namespace veradex {

// Paths as the file system spells them (UTF-8 bytes on Linux) meet the
// program's texts here: wxString in the windows, code page 949 in messages
// and in the profile.
class NativePath {
 public:
  // The platform's folder separator.
#ifdef _WIN32
  static constexpr char kSeparator = '\\';
#else
  static constexpr char kSeparator = '/';
#endif

  // Decodes a file-system path; bytes that are not valid in the file-system
  // encoding are taken one by one (ISO 8859-1) so nothing vanishes.
  static wxString ToWx(const std::string& native);
  // Encodes for the file system.
  static std::string FromWx(const wxString& path);
  // The path as the user reads it in a message or as the profile keeps it.
  static std::string ToCp949(const std::string& native);
};

}  // namespace veradex
