#pragma once

#include <string>

namespace veradex {

class ProfileStore;

// The program's preferences and its installation folder, as kept in the
// profile's section "environments". Flags are stored as "1" or "" and any
// non-empty text reads as on.
class Preferences {
 public:
  bool hideAtRun = false;    // hide_at_run: start with only the tray icon
  bool usePassword = false;  // use_pw: ask for the program password at start
  bool runAtStart = false;   // run_at_sysstart: start with the system
  std::string programDir;    // ProPathName: the program folder, ending in the separator

  static Preferences Load(const ProfileStore& store);
  // Writes the three flags the user edits (hide_at_run, run_at_sysstart,
  // use_pw, in this order); every one is tried. False when one failed.
  bool Save(ProfileStore& store) const;
  // Writes programDir; start-up does so on every start.
  bool SaveProgramDir(ProfileStore& store) const;
};

}  // namespace veradex
