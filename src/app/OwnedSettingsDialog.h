#pragma once

namespace veradex {

class ProfileChangeListener;

// The settings dialog as the tray window owns it: created once, centred, then
// only shown and hidden (closing it hides it), destroyed with the tray window
// when this object is deleted.
class OwnedSettingsDialog {
 public:
  virtual ~OwnedSettingsDialog() = default;

  // Shows page 0 (personal data), 1 (general) or 2 (password); others are
  // ignored.
  virtual void SelectPage(int page) = 0;
  // Refills all pages from the profile; unsaved edits are dropped.
  virtual void LoadPages() = 0;
  virtual void ShowDialog() = 0;
  // The report window to update after a save (may be null).
  virtual void SetProfileChangeListener(ProfileChangeListener* link) = 0;
};

}  // namespace veradex
