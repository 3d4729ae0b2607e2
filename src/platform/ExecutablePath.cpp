#include "platform/ExecutablePath.h"

#include <wx/dynlib.h>
#include <wx/stdpaths.h>
#include <wx/string.h>

#include "platform/Cp949.h"
#include "platform/NativePath.h"

#ifdef _WIN32
#include <windows.h>

#include <filesystem>
#else
#include <unistd.h>
#endif

#include <vector>

namespace veradex {

namespace {

std::string::size_type LastSeparator(const std::string& path) {
#ifdef _WIN32
  return path.find_last_of("\\/");
#else
  return path.rfind('/');
#endif
}

}  // namespace

std::string ExecutablePath::GetExecutablePath() {
#ifndef _WIN32
  // The kernel's own record of the running image, whatever the working
  // directory or argv[0] say.
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) break;
    if (static_cast<std::size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
  const wxString path = wxStandardPaths::Get().GetExecutablePath();
  return std::string(path.fn_str());
#else
  // The system's record of the running image (no application object needed),
  // in UTF-8 as every path the program keeps.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return NativePath::FromFs(std::filesystem::path(std::wstring(buffer.data(), length)));
    buffer.resize(buffer.size() * 2);
  }
#endif
}

std::string ExecutablePath::GetExecutableDirectory() { return DirectoryOf(GetExecutablePath()); }

std::string ExecutablePath::GetExecutableBaseName() { return BaseNameOf(GetExecutablePath()); }

std::string ExecutablePath::ModuleBeside(const std::string& name) {
  const std::string executable = GetExecutablePath();
  const auto separator = LastSeparator(executable);
  const std::string folder = separator == std::string::npos ? std::string() : executable.substr(0, separator + 1);
  return folder + name + NativePath::FromWx(wxDynamicLibrary::GetDllExt(wxDL_MODULE));
}

std::string ExecutablePath::DirectoryOf(const std::string& nativePath) {
  const auto separator = LastSeparator(nativePath);
  if (separator == std::string::npos) return std::string();
  const std::string directory = nativePath.substr(0, separator + 1);
  // Characters without a code page 949 form (rare in a directory name) become
  // '?': the program directory is then wrong, and the report window says the
  // installation is broken, as it would for any unusable directory.
  return NativePath::ToCp949(directory);
}

std::string ExecutablePath::BaseNameOf(const std::string& nativePath) {
  const auto separator = LastSeparator(nativePath);
  std::string name = separator == std::string::npos ? nativePath : nativePath.substr(separator + 1);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

}  // namespace veradex
