#pragma once

#include <memory>
#include <string>

namespace veradex {

// The per-user marker that keeps a second copy of the program from running.
// The first guard to call Acquire() holds the marker until it is destroyed or
// the process ends (a crashed copy never leaves it behind); every later call,
// from any process of the same user, reports that another copy runs.
//
// Windows (SingleInstanceGuardWin.cpp): a named mutex of exactly the
// marker's name, in the user's session. Elsewhere
// (SingleInstanceGuardPosix.cpp): an advisory lock (flock) on a file in the
// lock folder named after the marker; the kernel drops the lock with the
// process, so a stale file never blocks.
class SingleInstanceGuard {
 public:
  // The program's own marker name.
  static constexpr const char* kMarkerName = "App. Internet Velmora";

  // lockFolder: where the lock file lives (created when missing); ignored on
  // Windows. The program passes its profile folder, so each user (and each
  // test with its own XDG_CONFIG_HOME) has its own marker.
  SingleInstanceGuard(std::string markerName, std::string lockFolder);
  ~SingleInstanceGuard();
  SingleInstanceGuard(const SingleInstanceGuard&) = delete;
  SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

  // True when no other copy holds the marker; the guard then holds it. False
  // when another copy holds it. A marker that cannot be made at all (folder
  // not writable) counts as free: the program then starts unguarded rather
  // than not at all.
  bool Acquire();

  // The lock file's name for a marker: every character other than ASCII
  // letters, digits, '.', '-' and '_' becomes '_', then ".lock" follows
  // ("App._Internet_Velmora.lock").
  static std::string LockFileName(const std::string& markerName);
  std::string LockFilePath() const;

 private:
  // What the system keeps while the guard holds the marker.
  struct Held;

  std::string markerName_;
  std::string lockFolder_;
  std::unique_ptr<Held> held_;
};

}  // namespace veradex
