// MailHeaders' character sets through iconv (the C library's, on Linux);
// MailHeadersWin.cpp is the Windows side.
#include <iconv.h>

#include "centre/MailHeaders.h"

namespace veradex::centre {

std::string MailHeaders::ToUtf8(const std::string& bytes, const std::string& charset) {
  if (bytes.empty()) return std::string();
  iconv_t converter = iconv_open("UTF-8", charset.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::string();
  std::string in = bytes;
  std::string out(bytes.size() * 4 + 16, '\0');
  char* inPointer = in.data();
  std::size_t inLeft = in.size();
  char* outPointer = out.data();
  std::size_t outLeft = out.size();
  const std::size_t result = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
  iconv_close(converter);
  if (result == static_cast<std::size_t>(-1) || inLeft != 0) return std::string();
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace veradex::centre
