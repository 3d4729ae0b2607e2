#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include <wx/textctrl.h>

#include "gui/GuiTestSupport.h"
#include "pages/CategoryNavigationState.h"
#include "platform/Cp949.h"
#include "profile/MemoryProfileStore.h"
#include "profile/PersonalProfile.h"
#include "profile/ProfileStore.h"
#include "profile/ServerSettings.h"
#include "support/RecordingMessageSink.h"
#include "support/ReportCentreHarness.h"
#include "support/TempDir.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/CWebBrowser.h"
#include "ui/report/ReportWindow.h"
#include "ui/report/WebEngine.h"
#include "ui/skin/SkinBitmapButton.h"

namespace veradex::test {

// What the tests of a real report window set up alike: the profile in use
// names the program folder and sends every server to the test centre.
inline void UseTestCentre(MemoryProfileStore& store, ReportCentreHarness& centre, const std::string& programDir) {
  ProfileStore::SetCurrent(&store);
  store.WriteProfileString(profile::kEnvironments, "ProPathName", programDir + "/");
  store.WriteProfileString(profile::kServers, "report", centre.Centre().Address().HostPort());
  store.WriteProfileString(profile::kServers, "version", centre.Centre().Address().HostPort());
  store.WriteProfileString(profile::kServers, "ca_file", centre.CaFile());
  ServerSettings::Reload();
}

// The page templates as shipped, copied into a folder of the test's own.
inline void CopyShippedPages(const std::string& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(std::string(VERADEX_SOURCE_DIR) + "/res/pages"))
    std::filesystem::copy_file(entry.path(), folder + "/" + entry.path().filename().string());
}

// The personal data the report-window tests start from (name, e-mail and
// telephone filled in); returned for tests that want more or other data.
inline PersonalProfile& UseSamplePerson() {
  PersonalProfile& person = PersonalProfile::Global();
  person = PersonalProfile();
  person.name = Cp949::FromUtf8("홍길동");
  person.email = "hong@example.com";
  person.tel1 = "02";
  person.tel2 = "123";
  person.tel3 = "4567";
  return person;
}

// A report window made (not yet shown) with the shipped pages copied into
// its own page folder and the category navigation fresh; nullptr when it
// could not be made.
inline ReportWindow* MakeReportWindow(const std::string& pageFolder) {
  CopyShippedPages(pageFolder);
  CategoryNavigationState::Process().Reset();
  auto* window = new ReportWindow();
  window->SetPageFolders(pageFolder, std::string());
  if (window->Create()) return window;
  delete window;
  return nullptr;
}

// The end of a report-window test: the window gone, the profile, the
// servers and the personal data as before it.
inline void EndReportWindowTest(ReportWindow* window) {
  if (window != nullptr) DestroyAndWait(window);
  ProfileStore::SetCurrent(nullptr);
  ServerSettings::Reload();
  PersonalProfile::Global() = PersonalProfile();
}

// The fixture of the suites that test a real report window: the test centre,
// a profile that sends every server to it and names a program folder of the
// test's own, the sample person, the messages recorded (the plain notices
// apart), and the window made and shown. A suite changes the person, or the
// window before it is shown, through the two hooks; anything before or after
// goes around SetUp.
template <typename Base = ::testing::Test>
class ReportWindowFixture : public Base {
 public:
  void SetUp() override {
    UseTestCentre(store, centre, programDir.Path());
    PreparePerson(UseSamplePerson());
    window = MakeReportWindow(pageDir.Path());
    ASSERT_NE(window, nullptr);
    window->SetPlainMessageSink(&plain);
    BeforeShow();
    if (::testing::Test::HasFatalFailure()) return;
    window->Show();
    WaitFor([this] { return window->IsShownOnScreen(); }, std::chrono::seconds(2));
  }
  void TearDown() override { EndReportWindowTest(window); }

  // The sample person may be changed here (the window reads it when made).
  virtual void PreparePerson(PersonalProfile&) {}
  // The window is made and not yet shown.
  virtual void BeforeShow() {}

  // The centre's start page has completed once (its first completion shows
  // the telephone page, which would replace a view chosen before it).
  void WaitForStartPage() {
    WaitFor([] { return CategoryNavigationState::Process().FirstReportPageSeen(); }, std::chrono::seconds(20));
  }
  // The start page's engine once the page has finished loading; null without an engine.
  // (The start page seen counts for the whole process: an earlier test's
  // window may have seen it, so this window's own page is waited for.)
  WebEngineView* LoadedStartPage() {
    WaitForStartPage();
    WebEngineView* engine = nullptr;
    WaitFor(
        [&] {
          engine = window->GetBrowser()->Engine();
          return engine != nullptr && !engine->IsBusy() && !engine->CurrentTitle().empty();
        },
        std::chrono::seconds(20));
    return engine;
  }
  // Runs a script in the page; what it gave.
  static wxString PageScript(WebEngineView* engine, const wxString& javascript) {
    wxString output;
    EXPECT_TRUE(engine->RunScript(javascript, &output)) << javascript;
    return output;
  }
  AttachmentList& List() { return *window->GetAttachmentList(); }
  wxTextCtrl* Edit(int id) { return window->GetEdit(id); }
  // A click on one of the window's buttons.
  void Press(int id) {
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(window->GetButton(id));
    window->GetButton(id)->GetEventHandler()->ProcessEvent(click);
  }

  ReportCentreHarness centre;
  MemoryProfileStore store;
  TempDir programDir;
  TempDir pageDir;
  TempDir files;
  RecordingMessageSink sink;
  ScopedMessageSink scoped{&sink};
  RecordingMessageSink plain;
  ReportWindow* window = nullptr;
};

}  // namespace veradex::test
