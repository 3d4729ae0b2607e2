#pragma once

class wxWindow;

namespace veradex {

// What the report window asks of the tray window through its `tray` link: the
// personal-data settings button (1072) runs OpenSettings(0), the menu button
// (1070) pops up the tray menu. The tray window implements it; its commands
// are then handled exactly as if chosen from the notification-area icon.
class TrayCommands {
 public:
  virtual ~TrayCommands() = default;

  // Asks for the program password (every time), then shows the settings
  // dialog on page 0 (personal data) or 1 (general settings).
  virtual void OpenSettings(int page) = 0;

  // Pops up the tray menu at the mouse cursor over owner (the window whose
  // button was pressed); the chosen command runs in the tray window once the
  // menu has closed.
  virtual void PopupTrayMenu(wxWindow* owner) = 0;
};

}  // namespace veradex
