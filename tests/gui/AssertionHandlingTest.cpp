// A failed toolkit assertion: in a test it fails the test; in the program it
// is logged and the program goes on, with no dialog in the user's way. The
// assertion provoked is the one an attachment list without columns raised.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/listctrl.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/ReportApp.h"
#include "platform/AssertionLog.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

// A row inserted into a report-view list that has no columns yet.
void InsertIntoAListWithoutColumns(wxFrame* frame) {
  auto* list = new wxListCtrl(frame, wxID_ANY, wxDefaultPosition, wxSize(200, 100), wxLC_REPORT);
  list->InsertItem(0, "a.eml");
}

TEST(AssertionHandling, AToolkitAssertionFailsTheRunningTest) {
  auto* frame = new wxFrame(nullptr, wxID_ANY, "assertion");
  EXPECT_NONFATAL_FAILURE(InsertIntoAListWithoutColumns(frame), "invalid item column");
  frame->Destroy();
}

TEST(AssertionHandling, TheProgramLogsTheAssertionAndGoesOnWithoutADialog) {
  test::TempDir dir;
  const char* outer = std::getenv("XDG_STATE_HOME");
  const std::string before = outer != nullptr ? outer : "";
  ::setenv("XDG_STATE_HOME", dir.Path().c_str(), 1);
  auto* frame = new wxFrame(nullptr, wxID_ANY, "assertion");
  const std::size_t windows = wxTopLevelWindows.size();

  const wxAssertHandler_t testHandler = wxTheAssertHandler;
  const bool installed = ReportApp::InstallAssertHandler();
  if (installed) InsertIntoAListWithoutColumns(frame);
  wxSetAssertHandler(testHandler);
  frame->Destroy();
  if (outer != nullptr)
    ::setenv("XDG_STATE_HOME", before.c_str(), 1);
  else
    ::unsetenv("XDG_STATE_HOME");
  if (!installed) GTEST_SKIP() << "a debug build keeps the toolkit's dialog";

  // Back here at once: nothing waited for the user, no window came up.
  EXPECT_EQ(wxTopLevelWindows.size(), windows);
  const std::string logged = test::ReadFileBytes(dir.Path() + "/Ambrel/veradex/veradex.log");
  EXPECT_NE(logged.find("listctrl"), std::string::npos) << logged;
  EXPECT_NE(logged.find("invalid item column"), std::string::npos) << logged;
}

}  // namespace
}  // namespace veradex
