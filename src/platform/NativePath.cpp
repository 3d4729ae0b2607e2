#include "platform/NativePath.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <wx/strconv.h>

#include "platform/Cp949.h"

namespace veradex {

wxString NativePath::ToWx(const std::string& native) {
#ifdef _WIN32
  wxString text = wxString::FromUTF8(native.data(), native.size());
#else
  wxString text(native.c_str(), *wxConvFileName);
#endif
  if (text.empty() && !native.empty()) text = wxString(native.c_str(), wxConvISO8859_1);
  return text;
}

std::string NativePath::FromWx(const wxString& path) {
#ifdef _WIN32
  const wxScopedCharBuffer utf8 = path.utf8_str();
  return std::string(utf8.data(), utf8.length());
#else
  const wxCharBuffer native = path.fn_str();
  return native.data() != nullptr ? std::string(native.data()) : Cp949::FromWxLossy(path);
#endif
}

std::string NativePath::ToCp949(const std::string& native) { return Cp949::FromWxLossy(ToWx(native)); }

std::filesystem::path NativePath::ToFs(const std::string& native) {
#ifdef _WIN32
  return std::filesystem::u8path(native);
#else
  return std::filesystem::path(native);
#endif
}

std::string NativePath::FromFs(const std::filesystem::path& path) {
#ifdef _WIN32
  return path.u8string();
#else
  return path.string();
#endif
}

std::FILE* NativePath::Open(const std::string& native, const char* mode) {
#ifdef _WIN32
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return ::_wfopen(ToFs(native).c_str(), wideMode.c_str());
#else
  return std::fopen(native.c_str(), mode);
#endif
}

int NativePath::OpenDescriptor(const std::string& native, int flags, int mode) {
#ifdef _WIN32
  return ::_wopen(ToFs(native).c_str(), flags | _O_BINARY | _O_NOINHERIT, mode);
#else
  return ::open(native.c_str(), flags | O_CLOEXEC, mode);
#endif
}

}  // namespace veradex
