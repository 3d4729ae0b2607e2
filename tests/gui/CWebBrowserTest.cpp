// The embedded browser: local pages load, both completion events arrive with
// the address, and the location name is the title or else the address; the
// engine runs only while the window is wanted.
#include <gtest/gtest.h>

#include <algorithm>

#include <wx/frame.h>

#include "gui/GuiTestSupport.h"
#include "support/TempDir.h"
#include "ui/report/CWebBrowser.h"

namespace veradex {
namespace {

using test::TempDir;
using test::WaitFor;

// Both engines: a process of its own (X11) and the module in the program's
// process (elsewhere).
class CWebBrowserTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { CWebBrowser::UseModuleOnly(GetParam()); }
  void TearDown() override { CWebBrowser::UseModuleOnly(false); }
};

TEST_P(CWebBrowserTest, CompletionEventsAndLocationName) {
  TempDir dir;
  const std::string titled =
      dir.Write("titled.html", "<html><head><title>singo.jsp result</title></head><body>ok</body></html>");
  const std::string plain = dir.Write("plain.html", "<html><body>no title</body></html>");

  auto* frame = new wxFrame(nullptr, wxID_ANY, "browser", wxDefaultPosition, wxSize(400, 300));
  auto* browser = new CWebBrowser(frame, 1118, wxPoint(0, 0), wxSize(400, 300));
  frame->Show();
  ASSERT_TRUE(browser->HasEngine());

  // The engine's own blank start page may complete in between: wait for the
  // addresses asked for.
  std::vector<wxString> navigated, loaded;
  frame->Bind(EVT_NAVIGATE_COMPLETE2, [&](wxCommandEvent& event) { navigated.push_back(event.GetString()); });
  frame->Bind(EVT_DOCUMENT_COMPLETE, [&](wxCommandEvent& event) { loaded.push_back(event.GetString()); });
  auto seen = [](const std::vector<wxString>& urls, const char* name) {
    for (const wxString& url : urls)
      if (url.StartsWith("file://") && url.EndsWith(name)) return true;
    return false;
  };

  browser->Navigate(wxString::FromUTF8(titled.c_str()));
  ASSERT_TRUE(WaitFor([&] { return seen(loaded, "titled.html"); }, std::chrono::seconds(20)));
  EXPECT_TRUE(seen(navigated, "titled.html"));
  EXPECT_TRUE(WaitFor([&] { return browser->GetLocationName() == "singo.jsp result"; }, std::chrono::seconds(5)));

  browser->Navigate(wxString::FromUTF8(plain.c_str()));
  ASSERT_TRUE(WaitFor([&] { return seen(loaded, "plain.html"); }, std::chrono::seconds(20)));
  EXPECT_TRUE(seen(navigated, "plain.html"));
  EXPECT_TRUE(WaitFor([&] { return browser->GetLocationName().EndsWith("plain.html"); }, std::chrono::seconds(5)))
      << browser->GetLocationName();
  frame->Destroy();
  WaitFor([] { return false; }, std::chrono::milliseconds(50));
}

// The engine runs only while it is wanted: none before the window is first
// shown (what was asked for meanwhile loads then, in order), none once the
// window has stayed hidden for the release delay, and a new one at the next
// show that loads the page last asked for.
TEST_P(CWebBrowserTest, EngineStartsAtFirstShowAndGoesAfterTheWindowStayedHidden) {
  TempDir dir;
  const std::string first = dir.Write("first.html", "<html><head><title>first</title></head><body>1</body></html>");
  const std::string second = dir.Write("second.html", "<html><head><title>second</title></head><body>2</body></html>");

  auto* frame = new wxFrame(nullptr, wxID_ANY, "browser", wxDefaultPosition, wxSize(400, 300));
  auto* browser = new CWebBrowser(frame, 1118, wxPoint(0, 0), wxSize(400, 300));
  std::vector<wxString> loaded;
  frame->Bind(EVT_DOCUMENT_COMPLETE, [&](wxCommandEvent& event) { loaded.push_back(event.GetString()); });
  auto loads = [&](const char* name) {
    return std::count_if(loaded.begin(), loaded.end(), [&](const wxString& url) { return url.EndsWith(name); });
  };
  ASSERT_TRUE(browser->HasEngine());

  browser->Navigate(wxString::FromUTF8(first.c_str()));
  EXPECT_EQ(browser->View(), nullptr);
  frame->Show();
  ASSERT_TRUE(WaitFor([&] { return browser->View() != nullptr; }, std::chrono::seconds(5)));
  ASSERT_TRUE(WaitFor([&] { return loads("first.html") == 1; }, std::chrono::seconds(20)));

  browser->SetReleaseDelay(std::chrono::milliseconds(100));
  frame->Hide();
  ASSERT_TRUE(WaitFor([&] { return browser->View() == nullptr; }, std::chrono::seconds(5)));
  frame->Show();
  ASSERT_TRUE(WaitFor([&] { return browser->View() != nullptr; }, std::chrono::seconds(5)));
  ASSERT_TRUE(WaitFor([&] { return loads("first.html") == 2; }, std::chrono::seconds(20)));

  // Asked for while released: loaded at the next show, instead of the old page.
  frame->Hide();
  ASSERT_TRUE(WaitFor([&] { return browser->View() == nullptr; }, std::chrono::seconds(5)));
  browser->Navigate(wxString::FromUTF8(second.c_str()));
  frame->Show();
  ASSERT_TRUE(WaitFor([&] { return loads("second.html") == 1; }, std::chrono::seconds(20)));
  EXPECT_TRUE(WaitFor([&] { return browser->GetLocationName() == "second"; }, std::chrono::seconds(5)));
  EXPECT_EQ(loads("first.html"), 2);
  frame->Destroy();
  WaitFor([] { return false; }, std::chrono::milliseconds(50));
}

INSTANTIATE_TEST_SUITE_P(Engines, CWebBrowserTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& instance) {
                           return std::string(instance.param ? "Module" : "Process");
                         });

}  // namespace
}  // namespace veradex
