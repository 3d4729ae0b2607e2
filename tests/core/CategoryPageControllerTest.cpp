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
  int GetCategory() const override { return category; }
  void SetCategory(int value) override {
    category = value;
    calls.push_back("category " + std::to_string(value));
  }
  void SetButtonLook(int control, const CategoryPage::Look& look) override {
    calls.push_back("look " + std::to_string(control) + " " + std::to_string(look.normal));
  }
  void Navigate(const std::string& url) override { calls.push_back("navigate " + url); }
  std::string GetLocationName() override { return locationName; }
  void SetDisplayMode(int show) override { calls.push_back("mode " + std::to_string(show)); }
  void TransferFieldsToControls() override { calls.push_back("fields"); }
  void OpenInDefaultBrowser(const std::string& url) override { calls.push_back("open " + url); }

  int category = 0;
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
  EXPECT_TRUE(controller.OnCommand(1097));
  EXPECT_EQ(host.calls, (std::vector<std::string>{"look 1097 234", "category 3", Url("BOARD_SPAM.HTML"), "mode 0"}));
  EXPECT_EQ(ReadFileBytes(program.File("BOARD_SPAM.HTML")), "BOARD_SPAM.bak:Kim");
  EXPECT_FALSE(controller.OnCommand(1099));
  EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(CategoryPageControllerTest, MissingTemplateShowsAMessageAndChangesNothing) {
  host.category = 3;
  EXPECT_TRUE(controller.OnCommand(1098));  // Elec_Spam.bak is missing
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(host.category, 3);
  ASSERT_EQ(sink.Messages().size(), 1u);
  EXPECT_EQ(sink.Messages()[0].style, 16u);
  EXPECT_NE(sink.Messages()[0].text.find(program.File("Elec_Spam.bak")), std::string::npos);
}

TEST_F(CategoryPageControllerTest, LookupEmailAndPolicyButtons) {
  host.category = 3;
  controller.OnCommand(1085);
  EXPECT_EQ(host.calls, (std::vector<std::string>{Url("search.html"), "mode 0"}));
  EXPECT_TRUE(std::filesystem::exists(program.File("search_2006.html")));
  EXPECT_EQ(host.category, 3);

  host.calls.clear();
  controller.OnCommand(1094);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"look 1094 208", "category 7", "mode 5"}));

  host.calls.clear();
  controller.OnCommand(1102);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"open http://info.test/ambrel/spam/jsp/spam_policy.jsp"}));
  EXPECT_EQ(host.category, 7);
}

TEST_F(CategoryPageControllerTest, RefreshShowsTheCurrentCategoryAgain) {
  controller.RefreshCategoryPage();
  EXPECT_EQ(host.calls, (std::vector<std::string>{"fields"}));

  host.category = 1;
  host.calls.clear();
  profile.name = "Lee";
  controller.RefreshCategoryPage();
  EXPECT_EQ(host.calls.front(), "fields");
  EXPECT_EQ(host.calls.back(), "mode 0");
  EXPECT_EQ(ReadFileBytes(program.File("PHONE_SPAM.html")), "PHONE_SPAM.bak:Lee");

  host.category = 7;
  host.calls.clear();
  controller.RefreshCategoryPage();
  EXPECT_EQ(host.calls, (std::vector<std::string>{"fields", "mode 5"}));
}

TEST_F(CategoryPageControllerTest, BrowserEventsRenderTheTelephonePageOnceAndBringPagesBack) {
  // The first completion of the report page renders the telephone page; the
  // location name of the report page (no title) then marks a re-render.
  host.locationName = "https://report.test/h_singo/singo.jsp";
  controller.OnNavigateComplete("https://report.test/h_singo/singo.jsp");
  EXPECT_EQ(host.category, 1);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"look 1095 224", "category 1", Url("PHONE_SPAM.html"), "mode 0"}));
  host.calls.clear();
  controller.OnDocumentComplete();
  EXPECT_EQ(host.calls.size(), 4u);

  // Our own page completes: nothing more.
  host.calls.clear();
  host.locationName = "PHONE_SPAM";
  controller.OnNavigateComplete(CategoryPages::PageUrl(program.File("PHONE_SPAM.html")));
  controller.OnDocumentComplete();
  EXPECT_TRUE(host.calls.empty());

  // The user is on the bulletin-board page and submits it: the server's
  // answer brings a fresh board page, not the telephone page.
  controller.OnCommand(1097);
  host.calls.clear();
  host.locationName = "https://report.test/h_singo/singo.jsp";
  controller.OnNavigateComplete("https://report.test/h_singo/singo.jsp");
  EXPECT_TRUE(host.calls.empty());
  controller.OnDocumentComplete();
  EXPECT_EQ(host.calls, (std::vector<std::string>{"look 1097 234", "category 3", Url("BOARD_SPAM.HTML"), "mode 0"}));

  // In the e-mail view the answer brings the e-mail view back.
  controller.OnCommand(1094);
  host.calls.clear();
  controller.OnNavigateComplete("https://report.test/h_singo/singo.jsp");
  controller.OnDocumentComplete();
  EXPECT_EQ(host.calls, (std::vector<std::string>{"look 1094 208", "category 7", "mode 5"}));
}

}  // namespace
}  // namespace veradex
