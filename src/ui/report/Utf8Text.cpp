#include "ui/report/Utf8Text.h"

#include "platform/Cp949.h"

namespace veradex {

std::string Utf8Text::ToCp949(const char* utf8) { return Cp949::FromUtf8(utf8); }

std::string Utf8Text::ToCp949(const wxString& text) { return Cp949::FromWxLossy(text); }

}  // namespace veradex
