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

}  // namespace
}  // namespace veradex
