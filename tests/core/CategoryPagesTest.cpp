#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "pages/CategoryPage.h"
#include "pages/CategoryPages.h"
#include "platform/NativePath.h"
#include "profile/PersonalProfile.h"
#include "support/ScopedVariable.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;

const std::string kTemplateUnreadable =
    "\xC6\xE4\xC0\xCC\xC1\xF6 \xBE\xE7\xBD\xC4 \xC6\xC4\xC0\xCF\xC0\xBB \xC0\xD0\xC0\xBB \xBC\xF6 "
    "\xBE\xF8\xBD\xC0\xB4\xCF\xB4\xD9: ";
const std::string kPageUnwritable =
    "\xC6\xE4\xC0\xCC\xC1\xF6 \xC6\xC4\xC0\xCF\xC0\xBB \xBE\xB5 \xBC\xF6 \xBE\xF8\xBD\xC0\xB4\xCF\xB4\xD9: ";

// One token of every group, so a page shows which groups were filled.
const std::string kProbe = "N=__name__ E=__email__ T=__tel3__ M=__mtel2__ P=__singo_pw__ Y=__now_year__ C=__KT__";

std::time_t Mid2009() {
  std::tm day{};
  day.tm_year = 2009 - 1900;
  day.tm_mon = 5;
  day.tm_mday = 15;
  day.tm_hour = 12;
  day.tm_isdst = -1;
  return std::mktime(&day);
}

PersonalProfile Reporter() {
  PersonalProfile profile;
  profile.name = "\xC8\xAB\xB1\xE6\xB5\xBF";  // "홍길동"
  profile.email = "hong@example.com";
  profile.tel1 = "02";
  profile.tel2 = "123";
  profile.tel3 = "4567";
  profile.mtel1 = "010";
  profile.mtel2 = "9876";
  profile.mtel3 = "5432";
  profile.carrier = "KT";
  profile.reportPassword = "secret";
  return profile;
}

class CategoryPagesTest : public ::testing::Test {
 protected:
  CategoryPagesTest() : pages(program.Path(), user.File("pages")) {
    pages.SetClock(Mid2009);
    pages.SetReportHost("report.test:8443");
  }
  // A page in the user's folder, spelt as the system joins folders.
  std::string UserPage(const std::string& name) const { return user.File("pages") + NativePath::kSeparator + name; }
  TempDir program;
  TempDir user;
  CategoryPages pages;
};

TEST_F(CategoryPagesTest, EachCategoryFillsItsOwnGroupsIntoItsOwnPage) {
  struct Expected {
    Category category;
    const char* page;
    const char* text;
  };
  const Expected expected[] = {
      {Category::kTelephone, "PHONE_SPAM.html",
       "N=%s E=hong@example.com T=4567 M=9876 P=secret Y=__now_year__ C=selected"},
      {Category::kResentAfterOptOut, "EMAILRETURN_SPAM.html",
       "N=%s E=hong@example.com T=4567 M=__mtel2__ P=secret Y=__now_year__ C=__KT__"},
      {Category::kBulletinBoard, "BOARD_SPAM.HTML",
       "N=%s E=hong@example.com T=4567 M=__mtel2__ P=secret Y=2009 C=selected"},
      {Category::kElectronicMedia, "Elec_Spam.html",
       "N=%s E=hong@example.com T=4567 M=__mtel2__ P=secret Y=2009 C=__KT__"},
      {Category::kFax, "Fax_Spam.html", "N=%s E=hong@example.com T=4567 M=__mtel2__ P=secret Y=2009 C=__KT__"},
      {Category::kMaliciousCode, "code_spam.html",
       "N=%s E=hong@example.com T=4567 M=__mtel2__ P=secret Y=2009 C=__KT__"},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.page);
    const CategoryPage* info = CategoryPage::ForCategory(e.category);
    ASSERT_NE(info, nullptr);
    program.Write(info->templateName, kProbe);
    const CategoryPages::Result result = pages.RenderCategoryPage(e.category, Reporter());
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.path, program.File(e.page));
    std::string want = e.text;
    want.replace(want.find("%s"), 2, Reporter().name);
    EXPECT_EQ(ReadFileBytes(result.path), want);
  }
  EXPECT_FALSE(pages.RenderCategoryPage(Category::kNone, Reporter()).ok);
  EXPECT_FALSE(pages.RenderCategoryPage(Category::kEmail, Reporter()).ok);
}

TEST_F(CategoryPagesTest, PageIsTheTemplateByteForByteApartFromItsTokens) {
  // CP949 Hangul, CR LF, a zero byte and bytes above 0x7F must all survive.
  const std::string head = std::string("<meta charset=euc-kr>\r\n\xC0\xFC\xC8\xAD ") + '\0' +
                           "\xFF\x8C"
                           "c ";
  program.Write("PHONE_SPAM.bak", head + "__name__|__SKT__|__ETC__\r\n");
  const CategoryPages::Result result = pages.RenderCategoryPage(Category::kTelephone, Reporter());
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(ReadFileBytes(result.path), head + "\xC8\xAB\xB1\xE6\xB5\xBF||\r\n");

  // Without tokens the page is an exact copy.
  const std::string plain = "<html>\xC7\xD1\xB1\xDB _name_ __ name __</html>";
  program.Write("Fax_Spam.bak", plain);
  ASSERT_TRUE(pages.RenderCategoryPage(Category::kFax, Reporter()).ok);
  EXPECT_EQ(ReadFileBytes(program.File("Fax_Spam.html")), plain);
}

TEST_F(CategoryPagesTest, PressingTwiceWritesThePageAgainWithTheLatestProfile) {
  program.Write("code_spam.bak", "__name__");
  PersonalProfile profile = Reporter();
  ASSERT_TRUE(pages.RenderCategoryPage(Category::kMaliciousCode, profile).ok);
  profile.name = "Lee";
  ASSERT_TRUE(pages.RenderCategoryPage(Category::kMaliciousCode, profile).ok);
  EXPECT_EQ(ReadFileBytes(program.File("code_spam.html")), "Lee");
}

TEST_F(CategoryPagesTest, LookupFillsMobileAndPasswordOnlyAndCopiesTheOldLookup) {
  program.Write("search.bak", kProbe + " H=__report_host__");
  program.Write("search_2006.bak", kProbe + " H=__report_host__");
  const CategoryPages::Result result = pages.RenderLookupPages(Reporter());
  ASSERT_TRUE(result.ok) << result.message;
  EXPECT_EQ(result.path, program.File("search.html"));
  EXPECT_EQ(ReadFileBytes(program.File("search.html")),
            "N=__name__ E=__email__ T=__tel3__ M=9876 P=secret Y=__now_year__ C=__KT__ H=report.test:8443");
  EXPECT_EQ(ReadFileBytes(program.File("search_2006.html")), kProbe + " H=report.test:8443");
}

TEST_F(CategoryPagesTest, MissingTemplateAbandonsWithAMessageAndWritesNothing) {
  const CategoryPages::Result result = pages.RenderCategoryPage(Category::kBulletinBoard, Reporter());
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.path.empty());
  EXPECT_EQ(result.message, kTemplateUnreadable + program.File("BOARD_SPAM.bak"));
  EXPECT_FALSE(fs::exists(program.File("BOARD_SPAM.HTML")));

  // A folder in the template's place cannot be read either.
  fs::create_directory(program.File("Elec_Spam.bak"));
  EXPECT_EQ(pages.RenderCategoryPage(Category::kElectronicMedia, Reporter()).message,
            kTemplateUnreadable + program.File("Elec_Spam.bak"));

  // The lookup reads both templates before it writes anything.
  program.Write("search.bak", "__mtel1__");
  const CategoryPages::Result lookup = pages.RenderLookupPages(Reporter());
  EXPECT_FALSE(lookup.ok);
  EXPECT_EQ(lookup.message, kTemplateUnreadable + program.File("search_2006.bak"));
  EXPECT_FALSE(fs::exists(program.File("search.html")));
}

TEST_F(CategoryPagesTest, UnwritableProgramDirectoryFallsBackToTheUserFolder) {
  program.Write("PHONE_SPAM.bak", "__name__");
  program.Write("search.bak", "s");
  program.Write("search_2006.bak", "o");
  // A folder where the page belongs stands for a program directory the user
  // may not write (the tests may run as root, who may write anywhere).
  fs::create_directory(program.File("PHONE_SPAM.html"));
  fs::create_directory(program.File("search_2006.html"));

  const CategoryPages::Result result = pages.RenderCategoryPage(Category::kTelephone, Reporter());
  ASSERT_TRUE(result.ok) << result.message;
  EXPECT_EQ(result.path, UserPage("PHONE_SPAM.html"));
  EXPECT_EQ(ReadFileBytes(result.path), Reporter().name);

  // Both lookup pages land in the same folder, so the link between them works.
  const CategoryPages::Result lookup = pages.RenderLookupPages(Reporter());
  ASSERT_TRUE(lookup.ok) << lookup.message;
  EXPECT_EQ(lookup.path, UserPage("search.html"));
  EXPECT_EQ(ReadFileBytes(UserPage("search_2006.html")), "o");
  EXPECT_FALSE(fs::exists(program.File("search.html")));

  // Nowhere to write: a message naming the page, nothing to show.
  CategoryPages stuck(program.Path(), program.File("PHONE_SPAM.bak") + "/pages");
  const CategoryPages::Result failed = stuck.RenderCategoryPage(Category::kTelephone, Reporter());
  EXPECT_FALSE(failed.ok);
  EXPECT_TRUE(failed.path.empty());
  EXPECT_EQ(failed.message, kPageUnwritable + program.File("PHONE_SPAM.html"));
}

TEST_F(CategoryPagesTest, TemplatesOfAnySizeWork) {
  std::string big;
  while (big.size() < 300000) big += "<p>\xC7\xD1\xB1\xDB __name__ __now_year__</p>\n";
  program.Write("Elec_Spam.bak", big);
  const CategoryPages::Result result = pages.RenderCategoryPage(Category::kElectronicMedia, Reporter());
  ASSERT_TRUE(result.ok) << result.message;
  std::string want = big;
  for (auto at = want.find("__name__"); at != std::string::npos; at = want.find("__name__", at))
    want.replace(at, 8, Reporter().name);
  for (auto at = want.find("__now_year__"); at != std::string::npos; at = want.find("__now_year__", at))
    want.replace(at, 12, "2009");
  EXPECT_EQ(ReadFileBytes(result.path), want);
}

TEST(ProgramDirectory, ReleaseAndDebugFoldersLeadToTheirParent) {
  const auto dir = [](const std::string& path) {
    std::string native = path;
    for (char& c : native)
      if (c == '/') c = CategoryPages::kSeparator;
    std::string result = CategoryPages::ProgramDirectory(native);
    for (char& c : result)
      if (c == CategoryPages::kSeparator) c = '/';
    return result;
  };
  EXPECT_EQ(dir("/App/Release/prog"), "/App");
  EXPECT_EQ(dir("/App/Debug/prog"), "/App");
  EXPECT_EQ(dir("/App/prog"), "/App");
  EXPECT_EQ(dir("/App/release/prog"), "/App/release");
  EXPECT_EQ(dir("/App/Release/bin/prog"), "/App/Release/bin");
  EXPECT_EQ(dir("prog"), ".");
  EXPECT_FALSE(CategoryPages::ProgramDirectory().empty());
}

#ifndef _WIN32
TEST(CategoryPagesFolders, UserPageFolderFollowsXdgDataHome) {
  {
    test::ScopedVariable dataHome("XDG_DATA_HOME", "/data/home");
    EXPECT_EQ(CategoryPages::UserPageDirectory(), "/data/home/Ambrel/veradex_core_tests/pages");
  }
  test::ScopedVariable relative("XDG_DATA_HOME", "relative");  // not absolute: ignored, as the base directory rules say
  EXPECT_NE(CategoryPages::UserPageDirectory().find("/.local/share/Ambrel/veradex_core_tests/pages"),
            std::string::npos);
}
#endif

TEST(CategoryPagesUrl, PathsBecomeFileUrls) {
#ifndef _WIN32
  EXPECT_EQ(CategoryPages::PageUrl("/opt/vera dex/\xED\x95\x9C/search.html"),
            "file:///opt/vera%20dex/%ED%95%9C/search.html");
#endif
}

TEST(CategoryPageTable, CategoriesInButtonOrderWithTheirPages) {
  std::size_t count = 0;
  const CategoryPage* all = CategoryPage::All(&count);
  ASSERT_EQ(count, 7u);
  EXPECT_EQ(all[0].category, Category::kEmail);
  EXPECT_EQ(all[0].templateName, nullptr);
  for (std::size_t i = 1; i < count; ++i) EXPECT_EQ(static_cast<int>(all[i].category), static_cast<int>(i));
  const CategoryPage* board = CategoryPage::ForCategory(Category::kBulletinBoard);
  ASSERT_NE(board, nullptr);
  EXPECT_STREQ(board->pageName, "BOARD_SPAM.HTML");
  EXPECT_EQ(CategoryPage::ForCategory(Category::kNone), nullptr);
}

}  // namespace
}  // namespace veradex
