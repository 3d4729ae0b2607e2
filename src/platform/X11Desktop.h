#pragma once

#include <memory>
#include <string>

#include "platform/Desktop.h"

namespace veradex {

// The desktop of an X server: windows are found by WM_CLASS and title, keys
// are synthesised with XTest and reach the focused window, the save dialog's
// name field is read through the PRIMARY selection (after selecting all) and
// filled by pasting from a CLIPBOARD this object owns for the moment, on a
// connection of its own that answers requests while the user-interface
// thread waits. The user's clipboard is given back afterwards.
class X11Desktop : public Desktop {
 public:
  // Connects to the display named (empty: $DISPLAY); check Ok().
  explicit X11Desktop(const std::string& displayName = std::string());
  ~X11Desktop() override;
  X11Desktop(const X11Desktop&) = delete;
  X11Desktop& operator=(const X11Desktop&) = delete;

  bool Ok() const { return display_ != nullptr; }

  Window FindTopLevel(MailClientWindow which) override;
  bool BringToFront(Window window) override;
  void BringOwnWindowToFront() override;
  void SetTopMost(bool on) override;
  void PressKey(Key key) override;
  void ReleaseKey(Key key) override;
  std::string ReadNameField(Window dialog) override;
  bool SetNameField(Window dialog, const std::string& text) override;
  void Pause(int milliseconds) override;
  long long NowMilliseconds() override;

  // The text of a selection ("PRIMARY", "CLIPBOARD"), waiting at most the
  // time given for its owner to answer; empty when there is none.
  std::string ReadSelectionText(const char* selection, int timeoutMilliseconds = 500);

 private:
  struct Impl;
  bool HasWindowManager();
  bool WaitForFocus(Window window, int timeoutMilliseconds);
  void SelectAll();

  void* display_ = nullptr;  // Display*
  std::unique_ptr<Impl> impl_;
};

}  // namespace veradex
