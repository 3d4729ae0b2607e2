#include <gtest/gtest.h>

#include "platform/Cp949.h"

namespace veradex {
namespace {

TEST(Cp949, WholeCharacterPrefixNeverSplitsHangul) {
  const std::string text = std::string(3998, 'a') + "\xB0\xA1" + "\xB0\xA1";  // 4002 bytes
  EXPECT_EQ(Cp949::WholeCharacterPrefix(text, 4000), 4000u);
  EXPECT_EQ(Cp949::WholeCharacterPrefix(std::string(3999, 'a') + "\xB0\xA1", 4000), 3999u);
  EXPECT_EQ(Cp949::WholeCharacterPrefix("abc", 10), 3u);
  EXPECT_EQ(Cp949::WholeCharacterPrefix("", 10), 0u);
}

TEST(Cp949, ValidityOfByteSequences) {
  EXPECT_TRUE(Cp949::IsValid("plain ascii"));
  EXPECT_TRUE(Cp949::IsValid("\xC7\xD1\xB1\xDB"));
  EXPECT_FALSE(Cp949::IsValid("\xC7"));      // lone lead byte at the end
  EXPECT_FALSE(Cp949::IsValid("\xC7\x20"));  // lead byte followed by a blank
  EXPECT_FALSE(Cp949::IsValid("\x80"));
}

}  // namespace
}  // namespace veradex
