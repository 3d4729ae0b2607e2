#pragma once

#include <functional>
#include <string>

class wxWindow;

namespace veradex {

class Outbox;
class ProfileChangeListener;
class ReportHistory;

// The report window as the tray window owns it: created once (hidden,
// centred, its tray link set), then only shown and hidden, destroyed with
// the tray window when this object is deleted.
class OwnedReportWindow {
 public:
  virtual ~OwnedReportWindow() = default;

  // True while the window is on screen; a minimised window counts as shown.
  virtual bool IsWindowShown() const = 0;
  virtual void ShowWindow() = 0;
  // Refreshes the personal-data fields from PersonalProfile.
  virtual void LoadProfileFields() = 0;
  // Set by the window's own initialisation once the program directory is
  // known and its temp folder exists; false means the installation is broken.
  virtual bool IsReady() const = 0;
  // The program directory (code page 949, ending in the separator) the
  // window read from ProPathName.
  virtual std::string ProgramDir() const = 0;
  // What the settings dialog calls after a save.
  virtual ProfileChangeListener* Link() = 0;
  // The window itself (null when there is none to watch).
  virtual wxWindow* Window() = 0;
  // The history the window's reports go into (it outlives the window).
  virtual void SetReportHistory(ReportHistory*) {}
  // Puts a file (as the file system spells it) into the attachment list of
  // the e-mail report view; false when the list refused it.
  virtual bool AddAttachment(const std::string&) { return false; }
  // The outbox its reports may wait in (it outlives the window); onKept runs
  // after one went into it.
  virtual void SetOutbox(Outbox*, std::function<void()>) {}
  // A report of the window is being sent.
  virtual bool IsSending() const { return false; }
};

}  // namespace veradex
