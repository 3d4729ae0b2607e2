#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/SingleInstanceGuard.h"
#include "profile/Autostart.h"
#include "profile/ProfileStore.h"

namespace veradex {

// The program's start-up up to the point where windows are needed: the
// single-instance marker, the socket layer, the profile, the program
// directory and the autostart entry, in that order. It needs no display, so
// the tests drive it directly with their own parts. The set-up or login
// dialog, the tray window, loading the personal data and the tray icon follow
// (ReportApp).
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

  // Runs the steps up to the autostart entry. False: start-up ends here (the
  // user has seen why), and the process ends with exit code 0.
  bool RunProfileSteps();

  // The profile opened by RunProfileSteps (null before); it is also
  // ProfileStore::Current() from then on.
  ProfileStore* Store() const { return store_.get(); }

  // Messages of these steps, code page 949.
  static std::string AlreadyRunningText();
  static std::string SocketFailureText();

 private:
  void ReportDamagedProfile();

  Parts parts_;
  std::unique_ptr<ProfileStore> store_;
};

}  // namespace veradex
