// Entry point: starts the toolkit, runs the application object's start-up,
// its message loop when start-up succeeded, and its shutdown in every case.
#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>
#include <cstdlib>
#include <future>

#include "app/ReportApp.h"
#include "app/TrayWindow.h"
#include "net/TlsClientContext.h"
#include "report/ReportSender.h"

#ifdef _WIN32
#include <windows.h>
#endif
#ifdef VERADEX_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

wxIMPLEMENT_APP_NO_MAIN(veradex::ReportApp);

namespace {

int RunProgram(int argc, char** argv) {
  // From the toolkit's own start on, no assertion dialog reaches the user.
  veradex::ReportApp::InstallAssertHandler();
  // The version check's TLS context, while the toolkit starts.
  veradex::TlsClientContext::PrepareInBackground();
  // The first text the toolkit lays out waits for the font configuration
  // (some hundred files read and parsed); read on the second processor while
  // the toolkit starts, it is ready by then. Waited for when the program ends.
  std::future<void> fonts;
#ifdef VERADEX_HAVE_FONTCONFIG
  fonts = std::async(std::launch::async, [] { FcInit(); });
#endif
#if defined(__WXGTK__)
  // Nothing here draws with OpenGL (the web engine renders in its own
  // processes), but GTK probes the GL driver for its visuals when it opens
  // the display, which maps the driver (with Mesa, its compiler too: some
  // 50 MiB) for the whole life of a program that mostly rests in the tray.
  // A choice the user made stands; programs started from here decide anew.
  const bool glChosen = std::getenv("GDK_GL") != nullptr;
  if (!glChosen) setenv("GDK_GL", "disable", 0);
#endif
  const bool started = wxEntryStart(argc, argv);
#if defined(__WXGTK__)
  if (!glChosen) unsetenv("GDK_GL");
#endif
  if (!started) {
    veradex::TlsClientContext::AwaitPreparation();
    std::fprintf(stderr, "veradex: 화면을 열 수 없어 프로그램을 시작하지 못했습니다 (DISPLAY 설정을 확인하십시오).\n");
    return 1;
  }
  // Start-up that stops (second copy, cancelled login, ...) still ends with
  // shutdown and exit code 0, like a normal end of the message loop.
  if (wxTheApp->CallOnInit()) wxTheApp->OnRun();
  const int exitCode = wxTheApp->OnExit();
  wxEntryCleanup();
  // A start that ended early (a second copy, a cancelled login) may come
  // here while the first TLS context is still being made.
  veradex::TlsClientContext::AwaitPreparation();
  // Exit from the tray while a report is still going out: the worker would
  // go on using the TLS library and the runtime while the process's exit
  // handlers take them down. End at once instead, output flushed.
  if (veradex::ReportSender::RunningWorkers() > 0 || veradex::TrayWindow::OutboxRoundsRunning() > 0) {
    std::fflush(nullptr);
    std::_Exit(exitCode);
  }
  return exitCode;
}

}  // namespace

#ifdef _WIN32
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunProgram(__argc, __argv); }
#else
int main(int argc, char** argv) { return RunProgram(argc, argv); }
#endif
