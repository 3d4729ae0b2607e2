#pragma once

namespace veradex {

// What the report window asks of the window that owns it (the tray window).
class ReportWindowHost {
 public:
  virtual ~ReportWindowHost() = default;
  // Opens the settings dialog (behind the program password) at a page;
  // page 0 is the personal information.
  virtual void OpenSettings(int page) = 0;
  // Pops up the tray menu at the pointer; its commands are the host's.
  virtual void PopupTrayMenu() = 0;
};

}  // namespace veradex
