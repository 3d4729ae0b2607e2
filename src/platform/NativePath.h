#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include <wx/string.h>

namespace veradex {

// Paths as the program keeps them (UTF-8 bytes: on Linux as the file system
// spells them, on Windows converted to and from UTF-16 at the system's
// calls) meet the program's texts here: wxString in the windows, code page
// 949 in messages and in the profile.
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
  // The path for the C++ library's file functions (UTF-16 on Windows), and back.
  static std::filesystem::path ToFs(const std::string& native);
  static std::string FromFs(const std::filesystem::path& path);
  // std::fopen for a path in the program's form.
  static std::FILE* Open(const std::string& native, const char* mode);
  // The C library's open (O_RDONLY, O_WRONLY | O_CREAT | O_EXCL, ...): a
  // binary descriptor that no child process inherits; -1 with errno set.
  static int OpenDescriptor(const std::string& native, int flags, int mode = 0);
};

}  // namespace veradex
