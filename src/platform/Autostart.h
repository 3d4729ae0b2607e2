#pragma once

#include <string>

namespace veradex {

// The entry "Veradex" that starts the program with the user's session. It
// may live in one of two places: the machine's (for every user; writing it
// takes the administrator) or the user's own. Switching on writes the
// machine's entry where that is allowed and the user's otherwise; switching
// off removes both.
// Linux: the desktop entry "Veradex.desktop" in the machine's folder
// (/etc/xdg/autostart) or the user's ($XDG_CONFIG_HOME/autostart), whose
// Exec line holds the quoted executable path.
// Windows: the value "Veradex" under Software\Microsoft\Windows\CurrentVersion\Run
// of HKEY_LOCAL_MACHINE or of HKEY_CURRENT_USER; the folders are not used.
//
// The system's side lives in AutostartPosix.cpp or AutostartWin.cpp; the
// build compiles the one that fits.
class Autostart {
 public:
  enum class Place { kMachine, kUser };

  static constexpr const char* kDefaultFolder = "/etc/xdg/autostart";
  static constexpr const char* kEntryName = "Veradex";

  // machineFolder, userFolder: where the two entries live (ignored on
  // Windows); executablePath: the program to start, in file-system bytes.
  Autostart(std::string machineFolder, std::string userFolder, std::string executablePath);
  // The program's own entry: DefaultFolderForThisRun(), UserFolderForThisRun()
  // and the running executable.
  static Autostart ForThisProgram();
  // kDefaultFolder, or the folder named by the environment variable
  // VERADEX_AUTOSTART_DIR, which the tests of the whole program use so that
  // they never touch /etc.
  static std::string DefaultFolderForThisRun();
  // The user's folder: "autostart" in the user's configuration folder
  // (UserFolders); empty when no home folder is known.
  static std::string UserFolderForThisRun();

  // on == 1: writes the entry with the current executable path, in the
  // machine's place when it can (and then drops a user entry, so the program
  // starts once), else in the user's. Any other value: removes the entry from
  // both places. Returns 1 when the entry is there (on) or gone from both
  // (off) afterwards, 0 otherwise: neither place took it, the executable path
  // is unknown, an entry could not be removed, or (when switching off) there
  // was none. Nothing is shown to the user.
  int ApplyAutostart(int on) const;

  // Whether an entry exists in either place, that is whether the session
  // will start the program: what the settings show, whatever the preference says.
  bool IsRegistered() const;

  // The entry's file in that place (empty on Windows).
  std::string EntryPath(Place place) const;
  // The command that starts the program: the path in double quotes, unless
  // it is empty or already begins with a double quote.
  static std::string QuotedCommand(const std::string& executablePath);

 private:
  // The system's side, one place at a time. WriteEntry replaces an entry
  // that is there; RemoveEntry is true only when an entry was removed.
  bool WriteEntry(Place place, const std::string& command) const;
  bool RemoveEntry(Place place) const;
  bool HasEntry(Place place) const;
  // True where a user entry takes the place of the machine's entry of the
  // same name (desktop sessions); false where both would start the program
  // (the two Run keys of Windows).
  static const bool kUserEntryReplacesMachineEntry;

  std::string machineFolder_;
  std::string userFolder_;
  std::string executablePath_;
};

}  // namespace veradex
