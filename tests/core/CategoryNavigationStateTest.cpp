#include <gtest/gtest.h>

#include "pages/CategoryNavigationState.h"

namespace veradex {
namespace {

const char kReportPage[] = "https://report.test/h_singo/singo.jsp";

TEST(CategoryNavigationState, FirstReportPageCompletionRendersTheTelephonePageOnce) {
  CategoryNavigationState state;
  EXPECT_FALSE(state.OnNavigateComplete("file:///opt/veradex/PHONE_SPAM.html", kReportPage));
  EXPECT_TRUE(state.OnNavigateComplete("HTTPS://Report.Test/H_SINGO/singo.jsp", kReportPage));
  EXPECT_FALSE(state.OnNavigateComplete(kReportPage, kReportPage));
  state.Reset();
  EXPECT_FALSE(state.OnNavigateComplete("http://report.test/h_singo/singo.jsp", kReportPage));
  EXPECT_FALSE(state.OnNavigateComplete("https://report.test/h_singo/singo.jsp?x=1", kReportPage));
  // A configured ":443" is the address the browser reports without it.
  EXPECT_TRUE(state.OnNavigateComplete(kReportPage, "https://report.test:443/h_singo/singo.jsp"));
}

TEST(CategoryNavigationState, SingoAnswerBringsTheCurrentCategoryBack) {
  CategoryNavigationState state;
  // No category yet: nothing is marked.
  state.NoteLocationName(Category::kNone, "https://report.test/h_singo/singo.jsp");
  EXPECT_FALSE(state.RerenderPending());
  EXPECT_FALSE(state.OnDocumentComplete(Category::kNone));

  // A page of ours completes: its title does not mention singo.jsp.
  state.NoteLocationName(Category::kBulletinBoard, "\xB0\xD4\xBD\xC3\xC6\xC7 \xBD\xBA\xC6\xD4 \xBD\xC5\xB0\xED");
  EXPECT_FALSE(state.OnDocumentComplete(Category::kBulletinBoard));

  // The server's answer, shown by its address, marks the re-render; the next
  // completed document performs it once.
  state.NoteLocationName(Category::kBulletinBoard, "https://report.test/h_singo/singo.jsp");
  EXPECT_TRUE(state.RerenderPending());
  EXPECT_TRUE(state.OnDocumentComplete(Category::kBulletinBoard));
  EXPECT_FALSE(state.OnDocumentComplete(Category::kBulletinBoard));

  // Pending but no category: nothing happens and the mark stays.
  state.NoteLocationName(Category::kEmail, "singo.jsp");
  EXPECT_FALSE(state.OnDocumentComplete(Category::kNone));
  EXPECT_TRUE(state.OnDocumentComplete(Category::kEmail));
}

TEST(CategoryNavigationState, ProcessStateIsSharedAndResettable) {
  CategoryNavigationState& process = CategoryNavigationState::Process();
  process.Reset();
  EXPECT_TRUE(CategoryNavigationState::Process().OnNavigateComplete(kReportPage, kReportPage));
  EXPECT_TRUE(process.FirstReportPageSeen());
  process.Reset();
  EXPECT_FALSE(process.FirstReportPageSeen());
}

}  // namespace
}  // namespace veradex
