// The filled report form pages as the embedded browser shows them: each page
// loads from the file the renderer writes, its Korean text is decoded from
// code page 949, the reporter's data sits in the form and nothing scrolls
// sideways at the browser area's 610 x 490. With VERADEX_SCREENSHOT_DIR set, a
// screenshot of every page is written there (tools/screenshots.sh pages).
#include <gtest/gtest.h>

#include <wx/datetime.h>
#include <wx/frame.h>
#include <wx/utils.h>
#include <wx/webview.h>

#include <cstdlib>
#include <memory>

#include "GuiTestSupport.h"
#include "pages/CategoryPage.h"
#include "pages/CategoryPages.h"
#include "platform/Cp949.h"
#include "profile/PersonalProfile.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

using test::ReadFileBytes;
using test::WaitFor;

PersonalProfile Reporter() {
  PersonalProfile profile;
  profile.name =
      "\xB1\xE8\x8C"
      "c";  // "김똠": the second syllable exists only in code page 949
  profile.email = "kim@example.com";
  profile.tel1 = "02";
  profile.tel2 = "123";
  profile.tel3 = "4567";
  profile.mtel1 = "010";
  profile.mtel2 = "9876";
  profile.mtel3 = "5432";
  profile.carrier = "KT";
  profile.reportPassword = "pw1234";
  return profile;
}

class CategoryPagesGui : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    frame = new wxFrame(nullptr, wxID_ANY, "pages", wxPoint(0, 0), wxDefaultSize);
    frame->SetClientSize(610, 490);
    view = wxWebView::New(frame, wxID_ANY, wxWebViewDefaultURLStr, wxPoint(0, 0), wxSize(610, 490));
    view->Bind(wxEVT_WEBVIEW_LOADED, [](wxWebViewEvent& event) {
      ++loads;
      event.Skip();
    });
    view->Bind(wxEVT_WEBVIEW_ERROR, [](wxWebViewEvent& event) {
      lastError = event.GetString();
      event.Skip();
    });
    frame->Show();
  }
  static void TearDownTestSuite() {
    test::DestroyAndWait(frame);
    frame = nullptr;
    view = nullptr;
  }

  void SetUp() override {
    for (const char* name : {"PHONE_SPAM.bak", "EMAILRETURN_SPAM.bak", "BOARD_SPAM.bak", "Elec_Spam.bak",
                             "Fax_Spam.bak", "code_spam.bak", "search.bak", "search_2006.bak"})
      program.Write(name, ReadFileBytes(std::string(VERADEX_SOURCE_DIR) + "/res/pages/" + name));
    pages = std::make_unique<CategoryPages>(program.Path(), std::string());
    pages->SetReportHost("report.test");
  }

  // Loads the page and waits until the browser has laid it out.
  void Show(const std::string& path) {
    const int before = loads;
    lastError.clear();
    view->LoadURL(wxString::FromUTF8(CategoryPages::PageUrl(path)));
    ASSERT_TRUE(WaitFor([before] { return loads > before; }, std::chrono::seconds(30)))
        << path << " did not load: " << lastError;
    ASSERT_TRUE(WaitFor([] { return !view->IsBusy() && !view->GetCurrentTitle().empty(); }));
  }

  static wxString Script(const wxString& javascript) {
    wxString output;
    EXPECT_TRUE(view->RunScript(javascript, &output)) << javascript;
    return output;
  }

  // The top of the page, and its end when it scrolls.
  void Screenshot(const std::string& name) {
    const std::string dir = test::ScreenshotFolder();
    if (dir.empty()) return;
    Shoot(dir, name);
    if (Script("String(document.documentElement.scrollHeight > window.innerHeight)") == "true") {
      Script("window.scrollTo(0, document.documentElement.scrollHeight); 0");
      Shoot(dir, name + "-end");
      Script("window.scrollTo(0, 0); 0");
    }
  }

  void Shoot(const std::string& dir, const std::string& name) {
    // Two animation frames after the load the page has been painted.
    Script(
        "window.shotReady = false; requestAnimationFrame(function() { requestAnimationFrame(function() { "
        "window.shotReady = true; }); }); 0");
    WaitFor([] { return Script("String(window.shotReady)") == "true"; }, std::chrono::seconds(5));
    const wxPoint at = view->GetScreenPosition();
    const wxString command = wxString::Format("import -window root -crop 610x490+%d+%d +repage %s/%s.png", at.x, at.y,
                                              wxString::FromUTF8(dir.c_str()), wxString::FromUTF8(name));
    wxArrayString output;
    wxArrayString errors;
    EXPECT_EQ(wxExecute(command, output, errors, wxEXEC_SYNC), 0) << command;
  }

  static wxFrame* frame;
  static wxWebView* view;
  static int loads;
  static wxString lastError;
  test::TempDir program;
  std::unique_ptr<CategoryPages> pages;
};

wxFrame* CategoryPagesGui::frame = nullptr;
wxWebView* CategoryPagesGui::view = nullptr;
int CategoryPagesGui::loads = 0;
wxString CategoryPagesGui::lastError;

TEST_F(CategoryPagesGui, EveryCategoryPageShowsFilledAndDecoded) {
  struct Expected {
    Category category;
    const char* title;  // code page 949
  };
  const Expected expected[] = {
      {Category::kTelephone, "\xC0\xFC\xC8\xAD \xBD\xBA\xC6\xD4 \xBD\xC5\xB0\xED"},  // 전화 스팸 신고
      {Category::kResentAfterOptOut,
       "\xBC\xF6\xBD\xC5\xB0\xC5\xBA\xCE \xC8\xC4 \xC0\xE7\xC0\xFC\xBC\xDB \xBD\xC5\xB0\xED"},  // 수신거부 후 재전송
                                                                                                // 신고
      {Category::kBulletinBoard, "\xB0\xD4\xBD\xC3\xC6\xC7 \xBD\xBA\xC6\xD4 \xBD\xC5\xB0\xED"},  // 게시판 스팸 신고
      {Category::kElectronicMedia,
       "\xC0\xFC\xC0\xDA\xB8\xC5\xC3\xBC \xBD\xBA\xC6\xD4 \xBD\xC5\xB0\xED"},            // 전자매체 스팸 신고
      {Category::kFax, "\xC6\xD1\xBD\xBA \xBD\xBA\xC6\xD4 \xBD\xC5\xB0\xED"},            // 팩스 스팸 신고
      {Category::kMaliciousCode, "\xBE\xC7\xBC\xBA \xC4\xDA\xB5\xE5 \xBD\xC5\xB0\xED"},  // 악성 코드 신고
  };
  const wxString name = Cp949::ToWx(Reporter().name);
  for (const Expected& e : expected) {
    const CategoryPage* info = CategoryPage::ForCategory(e.category);
    SCOPED_TRACE(info->pageName);
    const CategoryPages::Result result = pages->RenderCategoryPage(e.category, Reporter());
    ASSERT_TRUE(result.ok) << result.message;
    Show(result.path);
    EXPECT_EQ(view->GetCurrentTitle(), Cp949::ToWx(e.title));
    EXPECT_TRUE(Script("document.body.innerText")
                    .Contains(Cp949::ToWx("\xBD\xC5\xB0\xED\xC0\xCE \xC1\xA4\xBA\xB8")));  // 신고인 정보
    EXPECT_EQ(Script("document.forms[0].elements['name'].value"), name);
    EXPECT_EQ(Script("document.forms[0].elements['email'].value"), "kim@example.com");
    EXPECT_EQ(Script("document.forms[0].action"), "https://report.test/h_singo/singo.jsp");
    EXPECT_EQ(Script("document.characterSet"), "EUC-KR");
    EXPECT_EQ(Script("String(document.documentElement.scrollWidth <= window.innerWidth)"), "true");
    if (info->tokens & CategoryPage::kCarrierTokens) {
      EXPECT_EQ(Script("document.forms[0].elements['mcomtel'].value"), "KT");
    }
    if (info->tokens & CategoryPage::kYearTokens) {
      EXPECT_EQ(Script("document.forms[0].elements['spam_year'].options[1].text"),
                wxString::Format("%d", wxDateTime::Now().GetYear() - 1) + Cp949::ToWx("\xB3\xE2"));  // 년
    }
    Screenshot(std::string(info->pageName).substr(0, std::string(info->pageName).find('.')));
  }
}

TEST_F(CategoryPagesGui, LookupPagesShowAndLinkToEachOther) {
  const CategoryPages::Result result = pages->RenderLookupPages(Reporter());
  ASSERT_TRUE(result.ok) << result.message;
  Show(result.path);
  EXPECT_EQ(view->GetCurrentTitle(),
            Cp949::ToWx("\xBD\xC5\xB0\xED \xB9\xCE\xBF\xF8 \xC8\xAE\xC0\xCE"));  // 신고 민원 확인
  EXPECT_EQ(Script("document.forms[0].elements['mtel2'].value"), "9876");
  EXPECT_EQ(Script("document.forms[0].elements['singo_pw'].value"), "pw1234");
  EXPECT_EQ(Script("String(document.documentElement.scrollWidth <= window.innerWidth)"), "true");
  Screenshot("search");

  // The link to the older lookup opens the copy written beside it.
  const int before = loads;
  Script("document.links[0].click(); 0");
  const wxString oldLookup = Cp949::ToWx("\xC0\xCC\xC0\xFC \xB9\xCE\xBF\xF8 \xC1\xB6\xC8\xB8");  // 이전 민원 조회
  ASSERT_TRUE(
      WaitFor([before, oldLookup] { return loads > before && !view->IsBusy() && view->GetCurrentTitle() == oldLookup; },
              std::chrono::seconds(30)))
      << view->GetCurrentTitle();
  EXPECT_TRUE(view->GetCurrentURL().EndsWith("/search_2006.html"));
  EXPECT_EQ(Script("document.forms[0].elements['name'].value"), "");
  Screenshot("search_2006");
}

}  // namespace
}  // namespace veradex
