#include <gtest/gtest.h>

#include "net/UrlEncoder.h"

namespace veradex {
namespace {

TEST(UrlEncoder, PassesOnlyLettersDigitsAndSixMarks) {
  std::string passed;
  for (int byte = 0; byte < 256; ++byte) {
    if (!UrlEncoder::NeedsEscape(static_cast<unsigned char>(byte))) passed += static_cast<char>(byte);
  }
  EXPECT_EQ(passed, "'()*-.0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz");
}

TEST(UrlEncoder, EncodesBytesAsUpperCaseHex) {
  EXPECT_EQ(UrlEncoder::Encode(""), "");
  EXPECT_EQ(UrlEncoder::Encode("a b"), "a%20b");
  EXPECT_EQ(UrlEncoder::Encode("~"), "%7E");
  EXPECT_EQ(UrlEncoder::Encode("_-.*'()"), "_-.*'()");
  EXPECT_EQ(UrlEncoder::Encode("\xB0\xA1"), "%B0%A1");
  EXPECT_EQ(UrlEncoder::Encode(std::string("\n\x7F\xFF", 3)), "%0A%7F%FF");
  EXPECT_EQ(UrlEncoder::Encode(std::string(1, '\0')), "%00");
  EXPECT_EQ(UrlEncoder::Encode("a+b=c&d/e?f"), "a%2Bb%3Dc%26d%2Fe%3Ff");
  EXPECT_EQ(UrlEncoder::Encode("02-123-4567"), "02-123-4567");
  EXPECT_EQ(UrlEncoder::ToHex(0x0A), "0A");
  EXPECT_EQ(UrlEncoder::Escape(0x20), "%20");
}

TEST(UrlEncoder, AppendPairEncodesTheValueOnly) {
  std::string form;
  UrlEncoder::AppendPair(form, "ret_url", "../minwon/list.jsp");
  UrlEncoder::AppendPair(form, "n&m", "");
  UrlEncoder::AppendPair(form, "name", "\xC8\xAB \xB1\xE6\xB5\xBF");
  EXPECT_EQ(form, "&ret_url=..%2Fminwon%2Flist.jsp&n&m=&name=%C8%AB%20%B1%E6%B5%BF");
}

}  // namespace
}  // namespace veradex
