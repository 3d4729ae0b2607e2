#pragma once

#include "ui/settings/SettingsPage.h"

class wxCheckBox;

namespace veradex {

// The general page of the settings dialog: the three start-up preferences,
// each a check box.
class GeneralPage : public SettingsPage {
 public:
  GeneralPage(wxWindow* parent, const wxRect& rect);

  void TransferToControls();
  void TransferFromControls();

  wxCheckBox* CheckBox(int id) const;

  bool usePassword = false;    // use_pw
  bool runAtSysstart = false;  // run_at_sysstart
  bool hideAtRun = false;      // hide_at_run

  enum : int { kUsePasswordBox = 1010, kRunAtSysstartBox = 1011, kHideAtRunBox = 1012 };
};

}  // namespace veradex
