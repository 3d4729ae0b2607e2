#include <gtest/gtest.h>

#include "platform/Cp949.h"

namespace veradex {
namespace {

// Korean text crosses the GUI boundary and comes back byte for byte; a
// character CP949 cannot hold is refused, not mangled.
TEST(Cp949Boundary, KoreanRoundTripsAndEmojiIsRefused) {
  const std::string hangul = "\xC7\xD1\xB1\xDB abc";  // "한글 abc"
  const wxString wide = Cp949::ToWx(hangul);
  EXPECT_EQ(wide.length(), 6u);
  std::string back;
  ASSERT_TRUE(Cp949::FromWx(wide, &back));
  EXPECT_EQ(back, hangul);

  std::string refused = "untouched";
  EXPECT_FALSE(Cp949::FromWx(wxString::FromUTF8("a\xF0\x9F\x98\x80"), &refused));
  EXPECT_EQ(Cp949::FromWxLossy(wxString::FromUTF8("a\xF0\x9F\x98\x80")), "a?");
}

}  // namespace
}  // namespace veradex
