#pragma once

#include <string>

#include "platform/Desktop.h"

namespace veradex {

// The Windows desktop: windows are found by class and title, keys are
// synthesised with keybd_event and reach the window in the foreground, the
// save dialog's name field is read and filled with WM_GETTEXT and
// WM_SETTEXT. Titles and texts go through the system in UTF-16, so the
// Korean dialog titles are found on a Windows of any language; texts of the
// program are UTF-8 (the program's form of a path).
class Win32Desktop : public Desktop {
 public:
  // The longest name the save dialog's field is read for, in characters.
  static constexpr int kNameFieldCapacity = 800;
  // How long a message to another program's window may take: a client that
  // hangs must not hold this program's window for good.
  static constexpr int kMessageTimeout = 2000;

  Window FindTopLevel(MailClientWindow which) override;
  bool BringToFront(Window window) override;
  void BringOwnWindowToFront() override;
  void SetTopMost(bool on) override;
  void PressKey(Key key) override;
  void ReleaseKey(Key key) override;
  std::string ReadNameField(Window dialog) override;
  bool SetNameField(Window dialog, const std::string& text) override;
  // Alt+S: the mnemonic of the save button ("저장(S)").
  void PressSaveButton() override;
  void Pause(int milliseconds) override;
  long long NowMilliseconds() override;

  // The dialog's file-name field: inside a "ComboBoxEx32" the first child of
  // its first child (the combo box, then its edit), else the dialog's first
  // child of class "Edit"; 0 when there is none.
  static Window NameFieldOf(Window dialog);
};

}  // namespace veradex
