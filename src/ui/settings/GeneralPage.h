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

  // What the page exchanges with its check boxes.
  struct Fields {
    bool usePassword = false;    // use_pw
    bool runAtSysstart = false;  // run_at_sysstart
    bool hideAtRun = false;      // hide_at_run
  };
  Fields& Data() { return fields_; }
  const Fields& Data() const { return fields_; }

  enum : int { kUsePasswordBox = 1010, kRunAtSysstartBox = 1011, kHideAtRunBox = 1012 };

 private:
  Fields fields_;
};

}  // namespace veradex
