#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/PasswordPrompt.h"
#include "platform/Autostart.h"
#include "platform/SingleInstanceGuard.h"
#include "profile/ProfileStore.h"

namespace veradex {

// The program's start-up, in this order: the single-instance marker, the
// socket layer, the profile, the program directory, the autostart entry, the
// first-run password set-up or the start-up login, the tray window, the
// personal data and the tray icon. The dialogs and the tray come in through
// Parts, so the tests drive the whole sequence with their own.
class StartupSequence {
 public:
  // What start-up works with; the program's own parts come from
  // ProgramParts(), tests put in their own.
  struct Parts {
    std::unique_ptr<SingleInstanceGuard> instanceGuard;
    std::function<bool()> startSockets;
    // Opens the profile; called only once the copy knows it is the only one.
    std::function<std::unique_ptr<ProfileStore>()> openProfile;
    std::unique_ptr<Autostart> autostart;
    // The program directory (code page 949, ending in the separator).
    std::string executableDirectory;
    // The first-run password set-up and the start-up login dialogs. Without
    // them start-up cannot pass the password step and stops there.
    std::function<std::unique_ptr<PasswordPrompt>()> makeSetupDialog;
    std::function<std::unique_ptr<PasswordPrompt>()> makeLoginDialog;
    // Creates the tray window (which may already create the report window,
    // hidden), then, once the personal data is loaded, adds its icon and
    // shows the report window.
    std::function<void()> createTrayWindow;
    std::function<void()> installTrayIcon;
  };

  // The running program: the marker "App. Internet Velmora" in the profile
  // folder, the system's sockets, the profile of the executable's base name,
  // the autostart entry of this executable.
  static Parts ProgramParts();

  explicit StartupSequence(Parts parts);
  // Stops being ProfileStore::Current() and releases the marker.
  ~StartupSequence();
  StartupSequence(const StartupSequence&) = delete;
  StartupSequence& operator=(const StartupSequence&) = delete;

  // The whole start-up: RunProfileSteps, RunPasswordStep, RunWindowSteps.
  // False: start-up ends here (the user has seen why, or cancelled), and the
  // process ends with exit code 0.
  bool Run();

  // Steps 1 to 7: marker, sockets, profile, program directory, autostart.
  bool RunProfileSteps();
  // Step 8. No "setup" mark: the set-up dialog; OK stores the password and
  // the mark, anything else stops. Marked and "use_pw" on: the login dialog
  // until the entry equals "PW" (no limit; "인증에 실패하였습니다." after each
  // wrong one); cancelling stops.
  bool RunPasswordStep();
  // Steps 9 to 11: the tray window, the personal data, the tray icon.
  void RunWindowSteps();

  // The profile opened by RunProfileSteps (null before); it is also
  // ProfileStore::Current() from then on.
  ProfileStore* Store() const { return store_.get(); }

  // Messages of these steps, code page 949.
  static std::string AlreadyRunningText();
  static std::string SocketFailureText();
  static std::string AuthenticationFailedText();

 private:
  void ReportDamagedProfile();

  Parts parts_;
  std::unique_ptr<ProfileStore> store_;
};

}  // namespace veradex
