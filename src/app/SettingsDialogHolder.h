#pragma once

#include "app/OwnedSettingsDialog.h"

namespace veradex {

class SettingsDialog;

// The program's settings dialog as the tray window owns it: made once with
// no parent and centred on the screen, then only shown and hidden; its window
// is destroyed with this object.
class SettingsDialogHolder : public OwnedSettingsDialog {
 public:
  SettingsDialogHolder();
  ~SettingsDialogHolder() override;
  SettingsDialogHolder(const SettingsDialogHolder&) = delete;
  SettingsDialogHolder& operator=(const SettingsDialogHolder&) = delete;

  void SelectPage(int page) override;
  void LoadPages() override;
  void ShowDialog() override;
  void SetProfileChangeListener(ProfileChangeListener* link) override;

  SettingsDialog* Dialog() const { return dialog_; }

 private:
  SettingsDialog* dialog_;
};

}  // namespace veradex
