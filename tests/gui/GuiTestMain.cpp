// Entry point of the GUI tests: starts wxWidgets on the display given by the
// environment (Xvfb under tools/test.sh), runs the tests, shuts wx down. A
// failed toolkit assertion fails the running test instead of opening the
// toolkit's dialog.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>

#include "report/MailModule.h"
#include "support/FailingAssertHandler.h"
#include "ui/report/BrowserProcessView.h"
#include "ui/report/WebEngineModule.h"

namespace {

class GuiTestApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Test discovery lists the tests without a display.
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();

  veradex::test::InstallFailingAssertHandler();
  wxApp::SetInstance(new GuiTestApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "GUI tests: wxWidgets could not start (is DISPLAY set?)\n");
    return 1;
  }
  wxTheApp->CallOnInit();
  // The program finds its web engine module beside itself; the tests are elsewhere.
  veradex::WebEngineModule::SetPath(VERADEX_WEBENGINE_MODULE);
  veradex::MailModule::SetPath(VERADEX_MAIL_MODULE);
  veradex::BrowserProcessView::SetProgramPath(VERADEX_BROWSER_PROGRAM);
  const int result = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
