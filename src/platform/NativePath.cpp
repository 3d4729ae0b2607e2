#include "platform/NativePath.h"

#include <wx/strconv.h>

#include "platform/Cp949.h"

namespace veradex {

wxString NativePath::ToWx(const std::string& native) {
#ifdef _WIN32
  return wxString(native.c_str(), wxConvLibc);
#else
  wxString text(native.c_str(), *wxConvFileName);
  if (text.empty() && !native.empty()) text = wxString(native.c_str(), wxConvISO8859_1);
  return text;
#endif
}

std::string NativePath::FromWx(const wxString& path) {
  const wxCharBuffer native = path.fn_str();
  return native.data() != nullptr ? std::string(native.data()) : Cp949::FromWxLossy(path);
}

std::string NativePath::ToCp949(const std::string& native) { return Cp949::FromWxLossy(ToWx(native)); }

}  // namespace veradex
