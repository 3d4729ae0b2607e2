// The report window and the test report centre over HTTPS, with the real
// browser: at start the window opens the centre's "singo.jsp" page and its
// first completion shows the telephone page; a category page's form sent to
// "singo.jsp" arrives in code page 949 and brings back a fresh, pre-filled
// copy of the same category. With VERADEX_SCREENSHOT_DIR set, a screenshot of
// each of the eight pages inside the window is written there
// (tools/screenshots.sh window-pages).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include <wx/utils.h>

#include "gui/GuiTestSupport.h"
#include "gui/ReportWindowSetup.h"
#include "pages/CategoryNavigationState.h"
#include "profile/MemoryProfileStore.h"
#include "profile/PersonalProfile.h"
#include "profile/ServerSettings.h"
#include "support/RecordingMessageSink.h"
#include "support/ReportCentreHarness.h"
#include "support/TempDir.h"
#include "ui/report/CWebBrowser.h"
#include "ui/report/ReportWindow.h"
#include "ui/skin/SkinBitmapButton.h"

namespace veradex {
namespace {

using test::RecordingMessageSink;
using test::ScopedMessageSink;
using test::TempDir;
using test::TestReportCentre;
using test::WaitFor;

constexpr auto kPageTime = std::chrono::seconds(40);

class CategoryRoundTrip : public test::ReportWindowFixture<> {
 protected:
  void PreparePerson(PersonalProfile& person) override {
    person.name =
        "\xB1\xE8\x8C"
        "c";  // "김똠": the second syllable exists only in code page 949
    person.email = "kim@example.com";
    person.tel1 = "02";
    person.tel2 = "123";
    person.tel3 = "4567";
    person.mtel1 = "010";
    person.mtel2 = "9876";
    person.mtel3 = "5432";
    person.carrier = "KT";
    person.reportPassword = "pw1234";
  }
  void BeforeShow() override {
    ASSERT_TRUE(window->IsFullyInitialised());
    ASSERT_TRUE(window->GetBrowser()->HasEngine());
    engineBeforeShow = window->GetBrowser()->View() != nullptr;
    window->Move(0, 0);
  }
  void SetUp() override {
    ReportWindowFixture::SetUp();
    if (HasFatalFailure()) return;
    window->GetBrowser()->Bind(EVT_NAVIGATE_COMPLETE2, [this](wxCommandEvent& event) {
      navigated.push_back(event.GetString());
      event.Skip();
    });
  }

  WebEngineView* View() const { return window->GetBrowser()->Engine(); }
  wxString Script(const wxString& javascript) const {
    wxString output;
    if (!View()->RunScript(javascript, &output)) return "(script failed)";
    return output;
  }
  // The browser has finished loading the page file `name` of the page folder.
  // (The engine names a page it is about to load as its address already, and
  // the old document answers scripts until the new one arrives: the document
  // itself is asked.)
  bool Showing(const std::string& name) const {
    return View() != nullptr && !View()->IsBusy() &&
           Script("document.URL + ' ' + document.readyState").EndsWith("/" + name + " complete");
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(pageDir.Path() + "/" + name); }
  // The start-up is over: the centre's page has completed once and the
  // telephone page it brought back is shown. (The completion renders the
  // page while the browser still names the centre's page, which marks one
  // more rendering: that one must be over too.)
  bool StartupDone() const {
    return CategoryNavigationState::Process().FirstReportPageSeen() && Settled("PHONE_SPAM.html");
  }
  // The page is shown and no rendering is due.
  bool Settled(const std::string& name) const {
    return !CategoryNavigationState::Process().RerenderPending() && Showing(name);
  }
  std::vector<TestReportCentre::Request> ReportPageRequests(const char* method) {
    std::vector<TestReportCentre::Request> matching;
    for (const auto& request : centre.Centre().RequestsTo(TestReportCentre::kReportPagePath))
      if (request.bytes.rfind(std::string(method) + " ", 0) == 0) matching.push_back(request);
    return matching;
  }

  // The web engine's page processes started by this process.
  // The web engine's page processes (and browser processes) of this test.
  static int WebProcesses() { return test::DescendantsNamed(::getpid(), {"WebKitWebProces", "veradex-browser"}); }

  bool engineBeforeShow = false;
  std::vector<wxString> navigated;
};

TEST_F(CategoryRoundTrip, StartOpensTheReportPageAndItsFirstCompletionShowsTheTelephonePage) {
  // The hidden window ran no web engine; its first show started it.
  EXPECT_FALSE(engineBeforeShow);
  // The initialisation wrote the telephone page before it opened the
  // centre's page; only the first completion of that page writes it again.
  EXPECT_EQ(window->GetCategory(), Category::kTelephone);
  ASSERT_TRUE(Exists("PHONE_SPAM.html"));
  std::filesystem::remove(pageDir.Path() + "/PHONE_SPAM.html");

  ASSERT_TRUE(WaitFor([&] { return !ReportPageRequests("GET").empty(); }, kPageTime))
      << "the centre's page was never asked for";
  EXPECT_TRUE(ReportPageRequests("GET").front().bytes.rfind("GET /h_singo/singo.jsp HTTP/1.1\r\n", 0) == 0);
  ASSERT_TRUE(WaitFor([&] { return StartupDone(); }, kPageTime)) << window->GetBrowser()->GetLocationName();
  EXPECT_TRUE(Exists("PHONE_SPAM.html"));
  EXPECT_EQ(window->GetCategory(), Category::kTelephone);
  EXPECT_EQ(window->GetView(), View::kBrowser);
  // The centre's page did load (its address completed), trusted through the
  // configured authority, once.
  const wxString reportPage = wxString::FromUTF8(ServerSettings::Current().ReportUrl("/h_singo/singo.jsp").c_str());
  EXPECT_NE(std::find(navigated.begin(), navigated.end(), reportPage), navigated.end());
  EXPECT_EQ(window->GetBrowser()->TrustedCertificateCount(), 1);
  EXPECT_EQ(Script("document.forms[0].elements['name'].value"), wxString::FromUTF8("김똠"));
  EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(CategoryRoundTrip, SubmittedBoardPageComesBackFreshAndPreFilled) {
  ASSERT_TRUE(WaitFor([&] { return StartupDone(); }, kPageTime)) << window->GetBrowser()->GetLocationName();
  Press(ReportWindow::kBoardSpam);
  ASSERT_TRUE(WaitFor([&] { return Settled("BOARD_SPAM.HTML"); }, kPageTime))
      << window->GetBrowser()->GetLocationName();
  EXPECT_EQ(window->GetCategory(), Category::kBulletinBoard);
  // The page as shown now: marked, and its file removed, so that the copy
  // that comes back is known to be new.
  Script("window.shownBeforeSending = 'yes'; 0");
  std::filesystem::remove(pageDir.Path() + "/BOARD_SPAM.HTML");

  // The user completes the form and sends it.
  const wxString filled = Script(
      "var f = document.forms[0]; f.site_url.value = 'http://spam.example/board';"
      "f.spam_content.value = '\\uB3C4\\uBC15 \\uAD11\\uACE0'; f.spam_content.value");
  EXPECT_EQ(filled, wxString::FromUTF8("도박 광고"));
  // Sent after the script has returned, as a press of the send button would.
  EXPECT_EQ(Script("setTimeout(function() { document.forms[0].submit(); }, 0); 'sent'"), "sent");
  ASSERT_TRUE(WaitFor([&] { return !ReportPageRequests("POST").empty(); }, kPageTime)) << "nothing was posted";
  const TestReportCentre::Request post = ReportPageRequests("POST").front();
  EXPECT_TRUE(post.HasHeader("Content-Type: application/x-www-form-urlencoded")) << post.Head();
  const std::string body = post.Body();
  EXPECT_NE(body.find("singo_type=board"), std::string::npos) << body;
  EXPECT_NE(body.find("site_url=http%3A%2F%2Fspam.example%2Fboard"), std::string::npos) << body;
  // Code page 949 on the wire: 김똠 is B1 E8 8C 63, 도박 광고 B5 B5 B9 DA 20 B1 A4 B0 ED.
  EXPECT_NE(body.find("&name=%B1%E8%8Cc&"), std::string::npos) << body;
  EXPECT_NE(body.find("spam_content=%B5%B5%B9%DA+%B1%A4%B0%ED"), std::string::npos) << body;
  EXPECT_NE(body.find("mcomtel=KT"), std::string::npos) << body;
  EXPECT_NE(body.find("singo_pw=pw1234"), std::string::npos) << body;

  // The centre's answer loads, and the same category's page comes back:
  // written again, fresh (nothing typed, no mark) and filled from the profile.
  ASSERT_TRUE(WaitFor(
      [&] {
        return Exists("BOARD_SPAM.HTML") && Settled("BOARD_SPAM.HTML") &&
               Script("String(window.shownBeforeSending)") == "undefined";
      },
      kPageTime))
      << window->GetBrowser()->GetLocationName();
  const wxString reportPage = wxString::FromUTF8(ServerSettings::Current().ReportUrl("/h_singo/singo.jsp").c_str());
  EXPECT_NE(std::find(navigated.begin(), navigated.end(), reportPage), navigated.end());
  EXPECT_EQ(Script("document.forms[0].site_url.value"), "");
  EXPECT_EQ(Script("document.forms[0].spam_content.value"), "");
  EXPECT_EQ(Script("document.forms[0].elements['name'].value"), wxString::FromUTF8("김똠"));
  EXPECT_EQ(Script("document.forms[0].elements['mcomtel'].value"), "KT");
  EXPECT_EQ(window->GetCategory(), Category::kBulletinBoard);
  EXPECT_EQ(window->GetView(), View::kBrowser);
  EXPECT_FALSE(CategoryNavigationState::Process().RerenderPending());
  EXPECT_EQ(ReportPageRequests("POST").size(), 1u);
  EXPECT_EQ(window->GetBrowser()->TrustedCertificateCount(), 1);
  EXPECT_EQ(sink.Count(), 0u);
}

// Hidden long enough, the window lets its web engine go (its page process
// ends with it); the next show starts one again with the page that was shown.
TEST_F(CategoryRoundTrip, HiddenWindowReleasesTheEngineAndTheNextShowBringsThePageBack) {
  ASSERT_TRUE(WaitFor([&] { return StartupDone(); }, kPageTime)) << window->GetBrowser()->GetLocationName();
  const std::size_t requests = centre.Centre().Requests().size();
  ASSERT_GT(WebProcesses(), 0);
  window->GetBrowser()->SetReleaseDelay(std::chrono::milliseconds(100));
  window->Hide();
  ASSERT_TRUE(WaitFor([&] { return View() == nullptr; }, std::chrono::seconds(10)));
  EXPECT_TRUE(WaitFor([&] { return WebProcesses() == 0; }, std::chrono::seconds(20)));

  window->Show();
  ASSERT_TRUE(WaitFor([&] { return View() != nullptr; }, std::chrono::seconds(5)));
  ASSERT_TRUE(WaitFor([&] { return Settled("PHONE_SPAM.html"); }, kPageTime))
      << window->GetBrowser()->GetLocationName();
  EXPECT_EQ(Script("document.forms[0].elements['name'].value"), wxString::FromUTF8("김똠"));
  EXPECT_EQ(window->GetCategory(), Category::kTelephone);
  EXPECT_EQ(centre.Centre().Requests().size(), requests);
  EXPECT_EQ(sink.Count(), 0u);
}

// Each of the eight pages inside the report window, for review.
TEST_F(CategoryRoundTrip, Screenshots) {
  const std::string dir = test::ScreenshotFolder();
  if (dir.empty()) GTEST_SKIP() << "VERADEX_SCREENSHOT_DIR not set";
  ASSERT_TRUE(WaitFor([&] { return StartupDone(); }, kPageTime));
  wxExecute("xdotool mousemove 1000 740", wxEXEC_SYNC | wxEXEC_NODISABLE);
  const auto shoot = [&](const std::string& name) {
    // Two animation frames after the load the page has been painted.
    Script(
        "window.shotReady = false; requestAnimationFrame(function() { requestAnimationFrame(function() { "
        "window.shotReady = true; }); }); 0");
    WaitFor([&] { return Script("String(window.shotReady)") == "true"; }, std::chrono::seconds(5));
    window->Update();
    const wxRect area = window->GetScreenRect();
    const wxString command =
        wxString::Format("import -window root -crop %dx%d+%d+%d +repage %s/window-%s.png", area.width, area.height,
                         area.x, area.y, wxString::FromUTF8(dir.c_str()), wxString::FromUTF8(name));
    EXPECT_EQ(wxExecute(command, wxEXEC_SYNC | wxEXEC_NODISABLE), 0) << command;
  };
  const struct {
    int button;
    const char* page;
  } pages[] = {
      {ReportWindow::kPhoneSpam, "PHONE_SPAM.html"}, {ReportWindow::kResentSpam, "EMAILRETURN_SPAM.html"},
      {ReportWindow::kBoardSpam, "BOARD_SPAM.HTML"}, {ReportWindow::kMediaSpam, "Elec_Spam.html"},
      {ReportWindow::kFaxSpam, "Fax_Spam.html"},     {ReportWindow::kCodeSpam, "code_spam.html"},
      {ReportWindow::kLookup, "search.html"},
  };
  for (const auto& page : pages) {
    Press(page.button);
    ASSERT_TRUE(WaitFor([&] { return Settled(page.page); }, kPageTime)) << page.page;
    shoot(std::string(page.page).substr(0, std::string(page.page).find('.')));
  }
  // The older lookup is reached by the link on the lookup page.
  Script("document.links[0].click(); 0");
  ASSERT_TRUE(WaitFor([&] { return Showing("search_2006.html"); }, kPageTime));
  shoot("search_2006");
}

}  // namespace
}  // namespace veradex
