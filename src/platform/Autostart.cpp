#include "platform/Autostart.h"

#include <cstdlib>
#include <utility>

#include "platform/BackslashEscapes.h"
#include "platform/ExecutablePath.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>
#endif

namespace veradex {

namespace {

#ifndef _WIN32
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
#endif

}  // namespace

Autostart::Autostart(std::string folder, std::string executablePath)
    : folder_(std::move(folder)), executablePath_(std::move(executablePath)) {}

Autostart Autostart::ForThisProgram() {
  return Autostart(DefaultFolderForThisRun(), ExecutablePath::GetExecutablePath());
}

std::string Autostart::DefaultFolderForThisRun() {
  const char* folder = std::getenv("VERADEX_AUTOSTART_DIR");
  return folder != nullptr && folder[0] != '\0' ? std::string(folder) : std::string(kDefaultFolder);
}

std::string Autostart::EntryPath() const {
#ifdef _WIN32
  return std::string();
#else
  std::string folder = folder_;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + kEntryName + ".desktop";
#endif
}

std::string Autostart::QuotedCommand(const std::string& executablePath) {
  if (executablePath.empty() || executablePath[0] == '"') return executablePath;
#ifdef _WIN32
  return "\"" + executablePath + "\"";
#else
  return "\"" + EscapeQuotedArgument(executablePath) + "\"";
#endif
}

std::string Autostart::DesktopEntry(const std::string& command) {
#ifdef _WIN32
  return command;
#else
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Veradex\n"
         "Comment=Dunmere spam report\n"
         "Exec=" +
         EscapeValue(command) +
         "\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
#endif
}

int Autostart::ApplyAutostart(int on) const {
#ifdef _WIN32
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_WRITE, &key) !=
      ERROR_SUCCESS)
    return 0;
  LONG result;
  if (on == 1) {
    const std::string command = QuotedCommand(executablePath_);
    result = command.empty()
                 ? ERROR_FILE_NOT_FOUND
                 : RegSetValueExA(key, kEntryName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                  static_cast<DWORD>(command.size() + 1));
  } else {
    result = RegDeleteValueA(key, kEntryName);
  }
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? 1 : 0;
#else
  struct stat info;
  if (folder_.empty() || ::stat(folder_.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return 0;
  const std::string path = EntryPath();
  if (on != 1) return ::unlink(path.c_str()) == 0 ? 1 : 0;

  // Without a known executable there is nothing to start: report failure
  // rather than write an entry that starts nothing.
  const std::string command = QuotedCommand(executablePath_);
  if (command.empty()) return 0;
  const std::string entry = DesktopEntry(command);

  // Written beside the entry and renamed over it, so the session never sees
  // half an entry. Readable by every user: it is the machine's entry.
  std::string temp = path + ".XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return 0;
  temp = name.data();
  bool written = ::fchmod(fd, 0644) == 0;
  const char* data = entry.data();
  std::size_t left = entry.size();
  while (written && left > 0) {
    const ssize_t count = ::write(fd, data, left);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0)
      written = false;
    else {
      data += count;
      left -= static_cast<std::size_t>(count);
    }
  }
  if (::close(fd) != 0) written = false;
  if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return 0;
  }
  return 1;
#endif
}

}  // namespace veradex
