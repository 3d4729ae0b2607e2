// The desktop-session side of Autostart: a desktop entry in an autostart
// folder, as the XDG autostart rules read it (a user's entry hides the
// machine's entry of the same name). AutostartWin.cpp is the Windows one.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/Autostart.h"
#include "platform/BackslashEscapes.h"
#include "platform/UserFolders.h"

namespace veradex {

namespace {

// Escapes a desktop-entry string value: a backslash and the control
// characters that would end the line.
std::string EscapeValue(const std::string& text) {
  return BackslashEscapes::Apply(text, {{'\\', '\\'}, {'\n', 'n'}, {'\r', 'r'}, {'\t', 't'}});
}

// Inside a quoted argument of an Exec line, '"', '`', '$' and '\' take a
// backslash, and '%' (a field code) is doubled.
std::string EscapeQuotedArgument(const std::string& path) {
  std::string out;
  for (const char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  return out;
}

// The whole desktop entry for a command as QuotedCommand makes it.
std::string DesktopEntry(const std::string& command) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Veradex\n"
         "Comment=Dunmere spam report\n"
         "Exec=" +
         EscapeValue(command) +
         "\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Writes the file beside its place and renames it over the place, so the
// session never reads half an entry. Readable by every user (the machine's
// entry is for all of them).
bool WriteWhole(const std::string& path, const std::string& bytes) {
  std::string temp = path + ".XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  temp = name.data();
  bool written = ::fchmod(fd, 0644) == 0;
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (written && left > 0) {
    const ssize_t count = ::write(fd, data, left);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      written = false;
    } else {
      data += count;
      left -= static_cast<std::size_t>(count);
    }
  }
  if (::close(fd) != 0) written = false;
  if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

const bool Autostart::kUserEntryReplacesMachineEntry = true;

std::string Autostart::EntryPath(Place place) const {
  std::string folder = place == Place::kMachine ? machineFolder_ : userFolder_;
  if (folder.empty()) return std::string();
  if (folder.back() != '/') folder += '/';
  return folder + kEntryName + ".desktop";
}

std::string Autostart::QuotedCommand(const std::string& executablePath) {
  if (executablePath.empty() || executablePath[0] == '"') return executablePath;
  return "\"" + EscapeQuotedArgument(executablePath) + "\"";
}

bool Autostart::WriteEntry(Place place, const std::string& command) const {
  // The machine's folder belongs to the system and is never made here; the
  // user's is made on demand, as the first autostart entry of an account needs.
  const std::string folder = place == Place::kMachine ? machineFolder_ : userFolder_;
  if (place == Place::kUser) UserFolders::MakePrivate(folder);
  if (!IsFolder(folder)) return false;
  return WriteWhole(EntryPath(place), DesktopEntry(command));
}

bool Autostart::RemoveEntry(Place place) const {
  const std::string path = EntryPath(place);
  return !path.empty() && ::unlink(path.c_str()) == 0;
}

bool Autostart::HasEntry(Place place) const {
  const std::string path = EntryPath(place);
  struct stat info;
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace veradex
