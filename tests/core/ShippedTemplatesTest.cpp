#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "pages/CategoryPage.h"
#include "pages/CategoryPages.h"
#include "platform/Cp949.h"
#include "profile/PersonalProfile.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

using test::ReadFileBytes;

std::string Shipped(const std::string& name) {
  return ReadFileBytes(std::string(VERADEX_SOURCE_DIR) + "/res/pages/" + name);
}

struct Template {
  const char* name;
  unsigned tokens;
};

// Placeholders of each group, as the templates must carry them.
const std::vector<std::vector<std::string>> kGroups = {
    {"__name__", "__email__", "__tel1__", "__tel2__", "__tel3__"},
    {"__mtel1__", "__mtel2__", "__mtel3__"},
    {"__singo_pw__"},
    {"__now_year__", "__before_year__", "__the_before_year__"},
    {"__SKT__", "__LGT__", "__KT__", "__ETC__"},
};

std::vector<Template> AllTemplates() {
  std::vector<Template> all;
  std::size_t count = 0;
  const CategoryPage* pages = CategoryPage::All(&count);
  for (std::size_t i = 0; i < count; ++i)
    if (pages[i].templateName != nullptr) all.push_back({pages[i].templateName, pages[i].tokens});
  all.push_back({CategoryPage::kLookupTemplate, CategoryPage::kLookupTokens});
  all.push_back({CategoryPage::kOldLookupTemplate, 0});
  return all;
}

// Every shipped template is a Korean page in code page 949 with a form that
// posts to the report host, and carries exactly the placeholders its
// category fills: nothing of another group would stay visible.
TEST(ShippedTemplates, FormsInCp949WithTheirOwnPlaceholders) {
  const std::vector<Template> all = AllTemplates();
  ASSERT_EQ(all.size(), 8u);
  for (const Template& t : all) {
    SCOPED_TRACE(t.name);
    const std::string page = Shipped(t.name);
    ASSERT_FALSE(page.empty());
    EXPECT_TRUE(Cp949::IsValid(page));
    EXPECT_NE(page.find("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-kr\">"), std::string::npos);
    EXPECT_LT(page.find("charset=euc-kr"), 1024u);  // within the browser's pre-scan
    EXPECT_NE(page.find("<form method=\"post\" action=\"https://__report_host__/h_singo/singo.jsp\""),
              std::string::npos);
    EXPECT_NE(page.find("<input type=\"hidden\" name=\"singo_type\""), std::string::npos);
    // A title naming singo.jsp would make every page of ours look like the server's answer.
    const auto title = page.find("<title>");
    ASSERT_NE(title, std::string::npos);
    EXPECT_EQ(page.substr(title, page.find("</title>") - title).find("singo.jsp"), std::string::npos);
    for (std::size_t group = 0; group < kGroups.size(); ++group) {
      const bool filled = (t.tokens & (1u << group)) != 0;
      for (const std::string& token : kGroups[group]) EXPECT_EQ(page.find(token) != std::string::npos, filled) << token;
    }
  }
  // The carrier choice is a select whose options carry the tokens.
  const std::string phone = Shipped("PHONE_SPAM.bak");
  EXPECT_NE(phone.find("<option value=\"KT\" __KT__>"), std::string::npos);
  EXPECT_NE(phone.find("<option value=\"\xB1\xE2\xC5\xB8\" __ETC__>"), std::string::npos);
}

// A screen reader names every field of every page (several share one row
// heading, so the names are on the fields), hears which are required, and
// hears the page's own message about what is missing.
TEST(ShippedTemplates, EveryFieldIsNamedAndRequiredFieldsSaySo) {
  const std::regex field(R"re(<(input type="(text|password)"|select|textarea) [^>]*>)re");
  for (const Template& t : AllTemplates()) {
    SCOPED_TRACE(t.name);
    const std::string page = Shipped(t.name);
    int fields = 0;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), field); it != std::sregex_iterator(); ++it) {
      const std::string tag = it->str();
      ++fields;
      EXPECT_NE(tag.find(" aria-label=\""), std::string::npos) << tag;
      EXPECT_EQ(tag.find(" required") != std::string::npos, tag.find(" aria-required=\"true\"") != std::string::npos)
          << tag;
    }
    EXPECT_GT(fields, 1);
    EXPECT_NE(page.find("role=\"alert\""), std::string::npos);
  }
}

TEST(ShippedTemplates, RenderedPagesKeepNoPlaceholder) {
  test::TempDir program;
  for (const Template& t : AllTemplates()) program.Write(t.name, Shipped(t.name));
  CategoryPages pages(program.Path(), std::string());
  pages.SetReportHost("report.test");
  PersonalProfile profile;
  profile.name = "\xC8\xAB\xB1\xE6\xB5\xBF";
  profile.carrier = "LGT";
  const std::regex placeholder("__[A-Za-z0-9_]+__");
  for (int category = 1; category <= 6; ++category) {
    const CategoryPages::Result result = pages.RenderCategoryPage(static_cast<Category>(category), profile);
    ASSERT_TRUE(result.ok) << result.message;
    const std::string page = ReadFileBytes(result.path);
    EXPECT_FALSE(std::regex_search(page, placeholder)) << result.path;
    EXPECT_NE(page.find("action=\"https://report.test/h_singo/singo.jsp\""), std::string::npos);
  }
  const CategoryPages::Result lookup = pages.RenderLookupPages(profile);
  ASSERT_TRUE(lookup.ok) << lookup.message;
  EXPECT_FALSE(std::regex_search(ReadFileBytes(lookup.path), placeholder));
  EXPECT_FALSE(std::regex_search(ReadFileBytes(program.File("search_2006.html")), placeholder));
}

// The committed templates are what tools/make_templates.py writes.
TEST(ShippedTemplates, MatchTheirGenerator) {
  if (std::system("python3 --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "python3 not available";
  const std::string command = "python3 \"" + std::string(VERADEX_SOURCE_DIR) + "/tools/make_templates.py\" --check";
  EXPECT_EQ(std::system(command.c_str()), 0);
}

}  // namespace
}  // namespace veradex
