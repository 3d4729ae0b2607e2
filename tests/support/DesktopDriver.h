#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace veradex::test {

// Acts on the windows of another process on the test's display the way a
// user does, through xdotool (real key presses and clicks via XTest) and
// ImageMagick's import for pictures. There is no window manager under Xvfb,
// so a window gets the keyboard only by being focused explicitly first.
class DesktopDriver {
 public:
  // display: the X display to act on (":99"); empty for the test's own.
  explicit DesktopDriver(std::string display = std::string()) : display_(std::move(display)) {}

  // True when xdotool can be run against the display.
  bool Available() const;

  // Ids of the shown windows whose title is exactly name (UTF-8).
  std::vector<std::string> FindWindows(const std::string& name) const;
  // Ids of the shown windows of a process whose title is exactly name.
  std::vector<std::string> FindWindowsOfProcess(int pid, const std::string& name) const;
  // Waits until such a window is shown; its id, or empty after the time-out.
  std::string WaitForWindow(const std::string& name,
                            std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
  // Waits until no such window is shown.
  bool WaitUntilGone(const std::string& name, std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;

  // Gives the window the keyboard, then presses the keys (xdotool names,
  // e.g. "Return", "Tab", "Escape").
  bool PressKeys(const std::string& windowId, const std::vector<std::string>& keys) const;
  // Gives the window the keyboard and types the text (UTF-8). Characters the
  // keyboard lacks get spare keys of their own first, and keep them.
  bool Type(const std::string& windowId, const std::string& text) const;
  // Moves the pointer to the screen point and clicks a button (1 left, 3 right).
  bool Click(int x, int y, int button = 1) const;
  // The window's position and size on the screen.
  bool Geometry(const std::string& windowId, int* x, int* y, int* width, int* height) const;

  // Writes a picture of the whole screen.
  bool Screenshot(const std::string& path) const;

  // Runs a shell command; its standard output, and whether it exited with 0.
  bool RunCommand(const std::string& command, std::string* output = nullptr) const;
  // The text in single quotes for the shell.
  static std::string Quote(const std::string& text);

  const std::string& Display() const { return display_; }

 private:
  // Binds each character of the text beyond ASCII to a spare key unless a
  // key has it already. xdotool would bind one only for the moment of its
  // press and take it back at once; a busy program reads the keyboard map
  // after that moment, finds a key without a character and loses it.
  bool BindKeys(const std::string& text) const;

  std::string display_;
};

}  // namespace veradex::test
