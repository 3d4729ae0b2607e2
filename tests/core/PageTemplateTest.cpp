#include <gtest/gtest.h>

#include "pages/CategoryPage.h"
#include "pages/PageTemplate.h"
#include "profile/PersonalProfile.h"

namespace veradex {
namespace {

const unsigned kAll = CategoryPage::kPersonalTokens | CategoryPage::kMobileTokens | CategoryPage::kYearTokens |
                      CategoryPage::kCarrierTokens;
const char kCarriers[] = "[__SKT__|__KT__|__LGT__|__ETC__]";

std::string Carriers(const std::string& carrier) {
  PersonalProfile profile;
  profile.carrier = carrier;
  return PageTemplate::Fill(kCarriers, CategoryPage::kCarrierTokens, profile, 2009, "h");
}

TEST(PageTemplate, CarrierChoiceSelectsExactlyOneOption) {
  EXPECT_EQ(Carriers("SKT"), "[selected|||]");
  EXPECT_EQ(Carriers("KT"), "[|selected||]");
  EXPECT_EQ(Carriers("LGT"), "[||selected|]");
  EXPECT_EQ(Carriers(""), "[|||selected]");
  EXPECT_EQ(Carriers("\xB1\xE2\xC5\xB8"), "[|||selected]");  // "기타"
  EXPECT_EQ(Carriers("kt"), "[|||selected]");                // byte for byte only
  EXPECT_EQ(Carriers("SKT "), "[|||selected]");
}

TEST(PageTemplate, YearTokensFollowTheGivenYear) {
  const PersonalProfile profile;
  EXPECT_EQ(PageTemplate::Fill("__now_year__/__before_year__/__the_before_year__", CategoryPage::kYearTokens, profile,
                               2009, "h"),
            "2009/2008/2007");
  // Without the year set the tokens stay as they are.
  EXPECT_EQ(PageTemplate::Fill("__now_year__", CategoryPage::kPersonalTokens, profile, 2009, "h"), "__now_year__");
}

TEST(PageTemplate, ValuesAreReplacedAgainByLaterTokensOnly) {
  PersonalProfile profile;
  profile.name = "a__email__b";
  profile.email = "me@example.com";
  profile.tel1 = "__name__";  // an earlier token: not filled again
  profile.mtel1 = "__singo_pw__";
  profile.reportPassword = "pw";
  EXPECT_EQ(PageTemplate::Fill("__name__ __tel1__ __mtel1__", kAll, profile, 2009, "h"),
            "ame@example.comb __name__ pw");
}

TEST(PageTemplate, EveryOccurrenceIsReplacedAndValuesAreEscaped) {
  PersonalProfile profile;
  profile.name = "Kim \"<b>\" & O'Neil";
  EXPECT_EQ(PageTemplate::Fill("<input value=\"__name__\">__name____name__", CategoryPage::kPersonalTokens, profile,
                               2009, "h"),
            "<input value=\"Kim &quot;&lt;b&gt;&quot; &amp; O&#39;Neil\">"
            "Kim &quot;&lt;b&gt;&quot; &amp; O&#39;Neil"
            "Kim &quot;&lt;b&gt;&quot; &amp; O&#39;Neil");
}

TEST(PageTemplate, ReportHostIsFilledOnEveryPageLast) {
  PersonalProfile profile;
  profile.name = "__report_host__";
  EXPECT_EQ(
      PageTemplate::Fill("https://__report_host__/h_singo/singo.jsp __name__", 0, profile, 2009, "report.example:8443"),
      "https://report.example:8443/h_singo/singo.jsp __name__");
  EXPECT_EQ(PageTemplate::Fill("__name__", CategoryPage::kPersonalTokens, profile, 2009, "r.example"), "r.example");
}

TEST(PageTemplate, TokensNextToHangulAreFoundAndHangulIsKept) {
  PersonalProfile profile;
  profile.name = "\xC8\xAB\xB1\xE6\xB5\xBF";  // "홍길동"
  // "똠" has the ASCII letter 'c' as its second byte; "성명:" before the token.
  const std::string text =
      "\x8C"
      "c\xBC\xBA\xB8\xED:__name__\x8C"
      "c";
  EXPECT_EQ(PageTemplate::Fill(text, CategoryPage::kPersonalTokens, profile, 2009, "h"),
            "\x8C"
            "c\xBC\xBA\xB8\xED:\xC8\xAB\xB1\xE6\xB5\xBF\x8C"
            "c");
}

TEST(PageTemplate, ReplaceAllDoesNotSearchItsOwnOutput) {
  std::string text = "xx";
  PageTemplate::ReplaceAll(text, "x", "xx");
  EXPECT_EQ(text, "xxxx");
  PageTemplate::ReplaceAll(text, "", "y");
  EXPECT_EQ(text, "xxxx");
}

}  // namespace
}  // namespace veradex
