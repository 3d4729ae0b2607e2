#pragma once

#include <string>

namespace veradex {

// Where the running executable is. Native paths are the file system's own
// bytes (UTF-8 on Linux); the program directory handed to the rest of the
// program is code page 949 text like every other domain string.
class ExecutablePath {
 public:
  // Full path of the running executable in file-system bytes; empty when the
  // system cannot tell.
  static std::string GetExecutablePath();
  // Directory of the running executable as code page 949 text, ending in the
  // path separator ("/opt/veradex/" here, "C:\dir\" on Windows). This is the
  // program directory written to the profile as ProPathName.
  static std::string GetExecutableDirectory();
  // File name without directory and extension ("veradex"): the application
  // name under which the profile is kept.
  static std::string GetExecutableBaseName();
  // Native path of the loadable module `name` beside the executable, with
  // the platform's module extension ("/opt/veradex/veradex-mail.so").
  static std::string ModuleBeside(const std::string& name);

  // The same rules applied to a given native path (for the tests and for
  // callers that already hold the path).
  static std::string DirectoryOf(const std::string& nativePath);
  static std::string BaseNameOf(const std::string& nativePath);
};

}  // namespace veradex
