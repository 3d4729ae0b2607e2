#include "platform/Autostart.h"

#include <cstdlib>
#include <utility>

#include "platform/ExecutablePath.h"
#include "platform/NativePath.h"
#include "platform/UserFolders.h"

namespace veradex {

Autostart::Autostart(std::string machineFolder, std::string userFolder, std::string executablePath)
    : machineFolder_(std::move(machineFolder)),
      userFolder_(std::move(userFolder)),
      executablePath_(std::move(executablePath)) {}

Autostart Autostart::ForThisProgram() {
  return Autostart(DefaultFolderForThisRun(), UserFolderForThisRun(), ExecutablePath::GetExecutablePath());
}

std::string Autostart::DefaultFolderForThisRun() {
  const char* folder = std::getenv("VERADEX_AUTOSTART_DIR");
  return folder != nullptr && folder[0] != '\0' ? std::string(folder) : std::string(kDefaultFolder);
}

std::string Autostart::UserFolderForThisRun() {
  const std::string base = UserFolders::Base(UserFolders::Kind::kConfig);
  return base.empty() ? std::string() : base + NativePath::kSeparator + "autostart";
}

int Autostart::ApplyAutostart(int on) const {
  if (on != 1) {
    // Both places: an entry left in either still starts the program.
    const bool machineRemoved = RemoveEntry(Place::kMachine);
    const bool userRemoved = RemoveEntry(Place::kUser);
    return (machineRemoved || userRemoved) && !IsRegistered() ? 1 : 0;
  }

  // Without a known executable there is nothing to start: report failure
  // rather than write an entry that starts nothing.
  const std::string command = QuotedCommand(executablePath_);
  if (command.empty()) return 0;
  if (WriteEntry(Place::kMachine, command)) {
    RemoveEntry(Place::kUser);
    return 1;
  }
  // No right to the machine's place: the user's own. Where the two would both
  // start the program, a machine entry that is already there (an
  // administrator switched it on) is left to start it alone.
  if (!kUserEntryReplacesMachineEntry && HasEntry(Place::kMachine)) return 1;
  return WriteEntry(Place::kUser, command) ? 1 : 0;
}

bool Autostart::IsRegistered() const { return HasEntry(Place::kMachine) || HasEntry(Place::kUser); }

}  // namespace veradex
