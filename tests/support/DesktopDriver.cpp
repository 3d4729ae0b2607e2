#include "support/DesktopDriver.h"

#include <sys/wait.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>
#include <vector>

#ifdef VERADEX_DRIVER_XLIB
#include <X11/Xlib.h>
#endif

namespace veradex::test {

bool DesktopDriver::RunCommand(const std::string& command, std::string* output) const {
  const std::string withDisplay = display_.empty() ? command : "DISPLAY=" + Quote(display_) + " " + command;
  FILE* pipe = ::popen((withDisplay + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return false;
  std::string text;
  char buffer[512];
  std::size_t read;
  while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, read);
  const int status = ::pclose(pipe);
  if (output != nullptr) *output = text;
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string DesktopDriver::Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

bool DesktopDriver::Available() const { return RunCommand("timeout 5 xdotool getmouselocation"); }

namespace {

std::string ExactTitle(const std::string& name) {
  std::string regex = "^";
  for (char c : name) {
    if (std::string(".[]()*+?^$|\\{}").find(c) != std::string::npos) regex += '\\';
    regex += c;
  }
  return regex + "$";
}

std::vector<std::string> Lines(const std::string& output) {
  std::vector<std::string> ids;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);)
    if (!line.empty()) ids.push_back(line);
  return ids;
}

}  // namespace

std::vector<std::string> DesktopDriver::FindWindows(const std::string& name) const {
  // xdotool matches only the legacy title property, which GTK leaves out for
  // Korean titles; xwininfo shows the UTF-8 one. Top-level windows only.
  std::string output;
  RunCommand("timeout 5 xwininfo -root -children", &output);
  std::vector<std::string> ids;
  const std::string quoted = " \"" + name + "\":";
  for (const std::string& line : Lines(output)) {
    const auto at = line.find(quoted);
    if (at == std::string::npos) continue;
    const auto start = line.find("0x");
    if (start == std::string::npos || start > at) continue;
    const std::string id = line.substr(start, at - start);
    std::string state;
    if (RunCommand("timeout 5 xwininfo -id " + id, &state) && state.find("IsViewable") != std::string::npos)
      ids.push_back(id);
  }
  return ids;
}

std::vector<std::string> DesktopDriver::FindWindowsOfProcess(int pid, const std::string& name) const {
  std::string output;
  RunCommand(
      "timeout 5 xdotool search --onlyvisible --pid " + std::to_string(pid) + " --name " + Quote(ExactTitle(name)),
      &output);
  return Lines(output);
}

std::string DesktopDriver::WaitForWindow(const std::string& name, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto ids = FindWindows(name);
    if (!ids.empty()) return ids.back();
    if (std::chrono::steady_clock::now() >= deadline) return std::string();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

bool DesktopDriver::WaitUntilGone(const std::string& name, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!FindWindows(name).empty()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

bool DesktopDriver::PressKeys(const std::string& windowId, const std::vector<std::string>& keys) const {
  std::string command = "timeout 10 xdotool windowfocus --sync " + windowId + " key --clearmodifiers --delay 30";
  for (const auto& key : keys) command += " " + Quote(key);
  return RunCommand(command);
}

namespace {

// The code points of the text beyond ASCII.
std::vector<unsigned> WideCharacters(const std::string& utf8) {
  std::vector<unsigned> found;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (length > 1 && i + length <= utf8.size()) {
      unsigned code = lead & (0x7F >> length);
      for (int k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
      found.push_back(code);
    }
    i += length;
  }
  return found;
}

}  // namespace

bool DesktopDriver::BindKeys(const std::string& text) const {
#ifdef VERADEX_DRIVER_XLIB
  const std::vector<unsigned> characters = WideCharacters(text);
  if (characters.empty()) return true;
  ::Display* x = XOpenDisplay(display_.empty() ? nullptr : display_.c_str());
  if (x == nullptr) return false;
  int first = 0, last = 0, width = 0;
  XDisplayKeycodes(x, &first, &last);
  KeySym* map = XGetKeyboardMapping(x, static_cast<KeyCode>(first), last - first + 1, &width);
  bool ok = map != nullptr;
  const auto row = [&](int code) { return map + static_cast<std::ptrdiff_t>(code - first) * width; };
  for (std::size_t i = 0; ok && i < characters.size(); ++i) {
    // Latin-1 keysyms are their code points; every other character has one
    // of its own in the Unicode range.
    const KeySym wanted = characters[i] < 0x100 ? characters[i] : 0x1000000 + characters[i];
    int bound = 0, spare = 0;
    for (int code = first; code <= last && bound == 0; ++code) {
      bool empty = true;
      for (int column = 0; column < width; ++column) {
        if (row(code)[column] == wanted) bound = code;
        if (row(code)[column] != NoSymbol) empty = false;
      }
      if (empty) spare = code;
    }
    if (bound != 0) continue;
    if (spare == 0) {
      ok = false;
      break;
    }
    for (int column = 0; column < width; ++column) row(spare)[column] = column < 2 ? wanted : NoSymbol;
    XChangeKeyboardMapping(x, spare, width, row(spare), 1);
  }
  XSync(x, False);
  if (map != nullptr) XFree(map);
  XCloseDisplay(x);
  return ok;
#else
  (void)text;
  return true;
#endif
}

bool DesktopDriver::Type(const std::string& windowId, const std::string& text) const {
  if (!BindKeys(text)) return false;
  return RunCommand("timeout 20 xdotool windowfocus --sync " + windowId + " type --clearmodifiers --delay 30 " +
                    Quote(text));
}

bool DesktopDriver::Click(int x, int y, int button) const {
  return RunCommand("timeout 10 xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click " +
                    std::to_string(button));
}

bool DesktopDriver::Geometry(const std::string& windowId, int* x, int* y, int* width, int* height) const {
  std::string output;
  if (!RunCommand("timeout 5 xdotool getwindowgeometry --shell " + windowId, &output)) return false;
  std::istringstream lines(output);
  int found = 0;
  for (std::string line; std::getline(lines, line);) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq);
    const int value = std::atoi(line.c_str() + eq + 1);
    if (key == "X") *x = value, ++found;
    if (key == "Y") *y = value, ++found;
    if (key == "WIDTH") *width = value, ++found;
    if (key == "HEIGHT") *height = value, ++found;
  }
  return found == 4;
}

bool DesktopDriver::Screenshot(const std::string& path) const {
  return RunCommand("timeout 20 import -window root " + Quote(path));
}

}  // namespace veradex::test
