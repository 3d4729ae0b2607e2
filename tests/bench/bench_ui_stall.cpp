// Measures how long the user-interface thread is kept from its events while a
// report of five 2 MiB messages goes out through the real report window (its
// progress bar in view): a 10 ms timer runs the whole time and its greatest
// lateness is printed. Needs a display (run it under xvfb-run). The centre
// runs in a child process. The last line is "max_ui_delay_ms: N".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/timer.h>

#include "CentreProcess.h"
#include "pages/CategoryNavigationState.h"
#include "profile/MemoryProfileStore.h"
#include "profile/PersonalProfile.h"
#include "profile/ServerSettings.h"
#include "report/MailModule.h"
#include "report/ReportTexts.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/EmailReportPanel.h"
#include "ui/report/ReportWindow.h"
#include "ui/skin/SkinBitmapButton.h"

namespace {

using Clock = std::chrono::steady_clock;
using veradex::ReportWindow;

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

class BenchApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  veradex::MailModule::SetPath(VERADEX_MAIL_MODULE);
  // Forked before any thread of this process exists.
  veradex::test::CentreProcess centre;
  if (!centre.Ok()) {
    std::fprintf(stderr, "the test centre did not start\n");
    return 1;
  }
  wxApp::SetInstance(new BenchApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "bench_ui_stall: wxWidgets could not start (is DISPLAY set?)\n");
    return 1;
  }
  wxTheApp->CallOnInit();

  veradex::MemoryProfileStore store;
  veradex::ProfileStore::SetCurrent(&store);
  veradex::test::TempDir programDir, pageDir, files;
  const std::string hostPort = "localhost:" + std::to_string(centre.Port());
  store.WriteProfileString(veradex::profile::kEnvironments, "ProPathName", programDir.Path() + "/");
  store.WriteProfileString(veradex::profile::kServers, "report", hostPort);
  store.WriteProfileString(veradex::profile::kServers, "version", hostPort);
  store.WriteProfileString(veradex::profile::kServers, "ca_file", centre.CaFile());
  veradex::ServerSettings::Reload();
  veradex::PersonalProfile& person = veradex::PersonalProfile::Global();
  person.name = "\xC8\xAB\xB1\xE6\xB5\xBF";
  person.email = "hong@example.kr";
  person.tel1 = "02";
  person.tel2 = "123";
  person.tel3 = "4567";
  veradex::test::RecordingMessageSink sink;
  veradex::test::ScopedMessageSink scoped(&sink);
  const char* source = std::getenv("VERADEX_SOURCE_DIR");
  const std::string pages = std::string(source != nullptr ? source : VERADEX_SOURCE_DIR) + "/res/pages/";
  for (const char* page : {"PHONE_SPAM.bak", "EMAILRETURN_SPAM.bak", "BOARD_SPAM.bak", "Elec_Spam.bak", "Fax_Spam.bak",
                           "code_spam.bak", "search.bak", "search_2006.bak"}) {
    pageDir.Write(page, veradex::test::ReadFileBytes(pages + page));
  }
  std::vector<wxString> paths;
  for (int i = 0; i < 5; ++i) {
    std::string message = "Subject: " + std::to_string(i) + "\r\n\r\n";
    message.resize(2 * 1024 * 1024, static_cast<char>('a' + i));
    paths.push_back(wxString::FromUTF8(files.Write("mail" + std::to_string(i) + ".eml", message).c_str()));
  }

  veradex::CategoryNavigationState::Process().Reset();
  auto* window = new ReportWindow();
  window->SetPageFolders(pageDir.Path(), std::string());
  if (!window->Create() || !window->IsFullyInitialised()) {
    std::fprintf(stderr, "the report window did not initialise\n");
    return 1;
  }
  window->Show();

  // The event loop runs throughout; the timer notes every tick's lateness.
  double worst = 0;
  bool measuring = false;
  Clock::time_point last = Clock::now();
  wxTimer ticker;
  ticker.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    const Clock::time_point now = Clock::now();
    if (measuring) worst = std::max(worst, Milliseconds(now - last) - 10.0);
    last = now;
  });
  ticker.Start(10);
  auto runFor = [](Clock::duration duration) {
    const Clock::time_point end = Clock::now() + duration;
    while (Clock::now() < end) {
      wxTheApp->ProcessPendingEvents();
      wxTheApp->Yield(true);
      wxMilliSleep(1);
    }
  };
  auto runUntil = [](const std::function<bool()>& done, Clock::duration limit) {
    const Clock::time_point end = Clock::now() + limit;
    while (!done() && Clock::now() < end) {
      wxTheApp->ProcessPendingEvents();
      wxTheApp->Yield(true);
      wxMilliSleep(1);
    }
    return done();
  };
  // The start-up pages settle first; then the e-mail view with its progress bar.
  runFor(std::chrono::seconds(3));
  wxCommandEvent click(wxEVT_BUTTON, ReportWindow::kEmailSpam);
  window->GetButton(ReportWindow::kEmailSpam)->GetEventHandler()->ProcessEvent(click);
  runFor(std::chrono::milliseconds(300));

  std::vector<double> worstPerRun, durations;
  for (int run = 0; run < runs; ++run) {
    for (const wxString& path : paths) window->GetAttachmentList()->AddFile(path);
    sink.Clear();
    worst = 0;
    last = Clock::now();
    measuring = true;
    const Clock::time_point start = Clock::now();
    window->EmailReport().OnSend();
    const bool ended = runUntil(
        [&] {
          return !window->EmailReport().IsSending() && sink.Count() > 0 && window->GetAttachmentList()->Count() == 0;
        },
        std::chrono::seconds(120));
    durations.push_back(Milliseconds(Clock::now() - start));
    measuring = false;
    if (!ended || sink.Texts().back() != veradex::ReportTexts::Get(veradex::ReportTexts::kReportReceived)) {
      std::fprintf(stderr, "the report did not complete\n");
      return 1;
    }
    worstPerRun.push_back(worst);
    std::printf("run %d: report %.1f ms, greatest timer lateness %.1f ms\n", run + 1, durations.back(), worst);
    runFor(std::chrono::milliseconds(300));
  }
  ticker.Stop();
  window->Destroy();
  runFor(std::chrono::milliseconds(100));
  veradex::ProfileStore::SetCurrent(nullptr);
  wxTheApp->OnExit();
  wxEntryCleanup();
  std::printf("max_ui_delay_ms: %d\n",
              static_cast<int>(*std::max_element(worstPerRun.begin(), worstPerRun.end()) + 0.5));
  return 0;
}
