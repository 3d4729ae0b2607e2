#pragma once

#include <string>

namespace veradex {

// The per-machine entry "Veradex" that starts the program with the system.
// Linux: the desktop entry "<folder>/Veradex.desktop" (folder
// /etc/xdg/autostart), whose Exec line holds the quoted executable path.
// Windows: the value "Veradex" under
// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run.
class Autostart {
 public:
  static constexpr const char* kDefaultFolder = "/etc/xdg/autostart";
  static constexpr const char* kEntryName = "Veradex";

  // folder: where the entry lives (ignored on Windows); executablePath: the
  // program to start, in file-system bytes.
  Autostart(std::string folder, std::string executablePath);
  // The program's own entry: DefaultFolderForThisRun() and the running
  // executable.
  static Autostart ForThisProgram();
  // kDefaultFolder, or the folder named by the environment variable
  // VERADEX_AUTOSTART_DIR, which the tests of the whole program use so that
  // they never touch /etc.
  static std::string DefaultFolderForThisRun();

  // on == 1: writes the entry with the current executable path; any other
  // value: deletes it. Returns 1 on success, 0 on failure: the folder is
  // missing or not writable, the executable path is unknown, or (when
  // deleting) there is no entry. Nothing is shown to the user.
  int ApplyAutostart(int on) const;

  // The entry's file (empty on Windows).
  std::string EntryPath() const;
  // The command that starts the program: the path in double quotes, unless
  // it is empty or already begins with a double quote.
  static std::string QuotedCommand(const std::string& executablePath);
  // The whole desktop entry for a command as QuotedCommand makes it.
  static std::string DesktopEntry(const std::string& command);

 private:
  std::string folder_;
  std::string executablePath_;
};

}  // namespace veradex
