// The embedded browser: local pages load, both completion events arrive with
// the address, and the location name is the title or else the address.
#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/webview.h>

#include "gui/GuiTestSupport.h"
#include "support/TempDir.h"
#include "ui/report/CWebBrowser.h"

namespace veradex {
namespace {

using test::TempDir;
using test::WaitFor;

TEST(CWebBrowserTest, CompletionEventsAndLocationName) {
  TempDir dir;
  const std::string titled =
      dir.Write("titled.html", "<html><head><title>singo.jsp result</title></head><body>ok</body></html>");
  const std::string plain = dir.Write("plain.html", "<html><body>no title</body></html>");

  auto* frame = new wxFrame(nullptr, wxID_ANY, "browser", wxDefaultPosition, wxSize(400, 300));
  auto* browser = new CWebBrowser(frame, 1118, wxPoint(0, 0), wxSize(400, 300));
  frame->Show();
  ASSERT_TRUE(browser->HasEngine());

  std::vector<wxString> navigated;
  int loaded = 0;
  frame->Bind(EVT_NAVIGATE_COMPLETE2, [&](wxCommandEvent& event) { navigated.push_back(event.GetString()); });
  frame->Bind(EVT_DOCUMENT_COMPLETE, [&](wxCommandEvent&) { ++loaded; });

  browser->Navigate(wxString::FromUTF8(titled.c_str()));
  ASSERT_TRUE(WaitFor([&] { return loaded >= 1; }, std::chrono::seconds(20)));
  ASSERT_FALSE(navigated.empty());
  EXPECT_TRUE(navigated.back().StartsWith("file://")) << navigated.back();
  EXPECT_TRUE(navigated.back().EndsWith("titled.html")) << navigated.back();
  EXPECT_TRUE(WaitFor([&] { return browser->GetLocationName() == "singo.jsp result"; }, std::chrono::seconds(5)));

  browser->Navigate(wxString::FromUTF8(plain.c_str()));
  ASSERT_TRUE(WaitFor([&] { return loaded >= 2; }, std::chrono::seconds(20)));
  EXPECT_TRUE(WaitFor([&] { return browser->GetLocationName().EndsWith("plain.html"); }, std::chrono::seconds(5)))
      << browser->GetLocationName();
  frame->Destroy();
  WaitFor([] { return false; }, std::chrono::milliseconds(50));
}

}  // namespace
}  // namespace veradex
