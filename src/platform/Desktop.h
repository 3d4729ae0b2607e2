#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/MailClientWindows.h"

namespace veradex {

// The desktop operations that drive another program's windows the way a user
// does: find its window, bring it to the front, press keys, read and fill the
// name field of its save dialog. One implementation speaks to the X server
// (X11Desktop), one to Windows (Win32Desktop); tests use a scripted one with
// a virtual clock. All calls come from the user-interface thread.
class Desktop {
 public:
  using Window = std::uintptr_t;  // an X11 window id or a window handle; 0: none
  enum Key { kAlt, kControl, kLetterA, kLetterF, kLetterS, kLetterV, kReturn, kEscape };

  virtual ~Desktop() = default;

  // The first shown (or minimised) top-level window matching the row.
  virtual Window FindTopLevel(MailClientWindow which) = 0;
  // Raises the window and gives it the keyboard; true once it has it.
  virtual bool BringToFront(Window window) = 0;
  // The same for this program's own window (see SetOwnWindow).
  virtual void BringOwnWindowToFront() = 0;
  // Keeps this program's own window above the others, or lets it go.
  virtual void SetTopMost(bool on) = 0;
  virtual void PressKey(Key key) = 0;
  virtual void ReleaseKey(Key key) = 0;
  // The text of the focused name field of the dialog (file-system encoding);
  // empty when it cannot be read.
  virtual std::string ReadNameField(Window dialog) = 0;
  // Replaces the text of the dialog's name field; false when it could not.
  virtual bool SetNameField(Window dialog, const std::string& text) = 0;
  // Presses the save button of the save dialog that has the keyboard: Return
  // here (the GTK dialog's default button); Windows uses the button's
  // mnemonic, Alt+S.
  virtual void PressSaveButton() { Stroke(kReturn); }
  virtual void Pause(int milliseconds) = 0;
  // A clock in milliseconds that only moves forward.
  virtual long long NowMilliseconds() = 0;

  // This program's window, for SetTopMost and BringOwnWindowToFront.
  void SetOwnWindow(Window window) { ownWindow_ = window; }
  Window OwnWindow() const { return ownWindow_; }

  // Press and release, as one key stroke.
  void Stroke(Key key) {
    PressKey(key);
    ReleaseKey(key);
  }

  // The desktop this program runs on; CreateNone() where no supported
  // window system is at hand. DesktopWin.cpp or DesktopPosix.cpp, as built.
  static std::unique_ptr<Desktop> CreateNative();
  // A desktop on which no window is ever found.
  static std::unique_ptr<Desktop> CreateNone();

 private:
  Window ownWindow_ = 0;
};

}  // namespace veradex
