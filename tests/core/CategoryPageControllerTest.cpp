#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "pages/CategoryPageController.h"
#include "pages/CategoryPageHost.h"
#include "profile/MemoryProfileStore.h"
#include "profile/PersonalProfile.h"
#include "profile/ServerSettings.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

using test::ReadFileBytes;
using test::TempDir;

// Records what the commands do to the window, as one line per call.
class FakeHost : public CategoryPageHost {
 public:
  Category GetCategory() const override { return category; }
  void SetCategory(Category value) override {
    category = value;
    calls.push_back("category " + std::to_string(static_cast<int>(value)));
  }
  void Navigate(const std::string& url) override { calls.push_back("navigate " + url); }
  std::string GetLocationName() override { return locationName; }
  void ShowView(View view) override { calls.push_back(view == View::kBrowser ? "browser view" : "e-mail view"); }
  void TransferFieldsToControls() override { calls.push_back("fields"); }
  void OpenInDefaultBrowser(const std::string& url) override { calls.push_back("open " + url); }

  Category category = Category::kNone;
  std::string locationName;
  std::vector<std::string> calls;
};

class CategoryPageControllerTest : public ::testing::Test {
 protected:
  CategoryPageControllerTest() : pages(program.Path(), std::string()), controller(host, pages, profile, &sink, state) {
    store.WriteProfileString("servers", "report", "report.test");
    store.WriteProfileString("servers", "info", "info.test");
    ProfileStore::SetCurrent(&store);
    ServerSettings::Reload();
    for (const char* name : {"PHONE_SPAM.bak", "BOARD_SPAM.bak", "search.bak", "search_2006.bak"})
      program.Write(name, std::string(name) + ":__name__");
    profile.name = "Kim";
  }
  ~CategoryPageControllerTest() override {
    ProfileStore::SetCurrent(nullptr);
    ServerSettings::Reload();
  }

  std::string Url(const std::string& page) const { return "navigate " + CategoryPages::PageUrl(program.File(page)); }

  MemoryProfileStore store;
  TempDir program;
  CategoryPages pages;
  PersonalProfile profile;
  test::RecordingMessageSink sink;
  CategoryNavigationState state;
  FakeHost host;
  CategoryPageController controller;
};

TEST_F(CategoryPageControllerTest, CategoryButtonWritesShowsAndSwitchesToTheBrowser) {
  controller.ShowCategory(Category::kBulletinBoard);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"category 3", Url("BOARD_SPAM.HTML"), "browser view"}));
  EXPECT_EQ(ReadFileBytes(program.File("BOARD_SPAM.HTML")), "BOARD_SPAM.bak:Kim");
  EXPECT_FALSE(controller.RenderCategoryPage(Category::kNone));
  EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(CategoryPageControllerTest, MissingTemplateShowsAMessageAndChangesNothing) {
  host.category = Category::kBulletinBoard;
  EXPECT_FALSE(controller.RenderCategoryPage(Category::kElectronicMedia));  // Elec_Spam.bak is missing
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(host.category, Category::kBulletinBoard);
  ASSERT_EQ(sink.Messages().size(), 1u);
  EXPECT_EQ(sink.Messages()[0].style, 16u);
  EXPECT_NE(sink.Messages()[0].text.find(program.File("Elec_Spam.bak")), std::string::npos);
}

TEST_F(CategoryPageControllerTest, LookupEmailAndPolicyButtons) {
  host.category = Category::kBulletinBoard;
  controller.ShowLookupPage();
  EXPECT_EQ(host.calls, (std::vector<std::string>{Url("search.html"), "browser view"}));
  EXPECT_TRUE(std::filesystem::exists(program.File("search_2006.html")));
  EXPECT_EQ(host.category, Category::kBulletinBoard);

  host.calls.clear();
  controller.ShowCategory(Category::kEmail);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"category 7", "e-mail view"}));

  host.calls.clear();
  controller.OpenPolicyPage();
  EXPECT_EQ(host.calls, (std::vector<std::string>{"open http://info.test/ambrel/spam/jsp/spam_policy.jsp"}));
  EXPECT_EQ(host.category, Category::kEmail);
}

TEST_F(CategoryPageControllerTest, RefreshShowsTheCurrentCategoryAgain) {
  controller.RefreshCategoryPage();
  EXPECT_EQ(host.calls, (std::vector<std::string>{"fields"}));

  host.category = Category::kTelephone;
  host.calls.clear();
  profile.name = "Lee";
  controller.RefreshCategoryPage();
  EXPECT_EQ(host.calls.front(), "fields");
  EXPECT_EQ(host.calls.back(), "browser view");
  EXPECT_EQ(ReadFileBytes(program.File("PHONE_SPAM.html")), "PHONE_SPAM.bak:Lee");

  host.category = Category::kEmail;
  host.calls.clear();
  controller.RefreshCategoryPage();
  EXPECT_EQ(host.calls, (std::vector<std::string>{"fields", "e-mail view"}));
}

TEST_F(CategoryPageControllerTest, BrowserEventsRenderTheTelephonePageOnceAndBringPagesBack) {
  // The first completion of the report page renders the telephone page; the
  // location name of the report page (no title) then marks a re-render.
  host.locationName = "https://report.test/h_singo/singo.jsp";
  controller.OnNavigateComplete("https://report.test/h_singo/singo.jsp");
  EXPECT_EQ(host.category, Category::kTelephone);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"category 1", Url("PHONE_SPAM.html"), "browser view"}));
  host.calls.clear();
  controller.OnDocumentComplete();
  EXPECT_EQ(host.calls.size(), 3u);

  // Our own page completes: nothing more.
  host.calls.clear();
  host.locationName = "PHONE_SPAM";
  controller.OnNavigateComplete(CategoryPages::PageUrl(program.File("PHONE_SPAM.html")));
  controller.OnDocumentComplete();
  EXPECT_TRUE(host.calls.empty());

  // The user is on the bulletin-board page and submits it: the server's
  // answer brings a fresh board page, not the telephone page.
  controller.ShowCategory(Category::kBulletinBoard);
  host.calls.clear();
  host.locationName = "https://report.test/h_singo/singo.jsp";
  controller.OnNavigateComplete("https://report.test/h_singo/singo.jsp");
  EXPECT_TRUE(host.calls.empty());
  controller.OnDocumentComplete();
  EXPECT_EQ(host.calls, (std::vector<std::string>{"category 3", Url("BOARD_SPAM.HTML"), "browser view"}));

  // In the e-mail view the answer brings the e-mail view back.
  controller.ShowCategory(Category::kEmail);
  host.calls.clear();
  controller.OnNavigateComplete("https://report.test/h_singo/singo.jsp");
  controller.OnDocumentComplete();
  EXPECT_EQ(host.calls, (std::vector<std::string>{"category 7", "e-mail view"}));
}

}  // namespace
}  // namespace veradex
