#include "ui/settings/GeneralPage.h"

#include <wx/checkbox.h>

#include "ui/settings/SettingsTexts.h"

namespace veradex {

GeneralPage::GeneralPage(wxWindow* parent, const wxRect& rect) : SettingsPage(parent, 137, rect) {
  struct Box {
    int id;
    const char* text;
  };
  const Box boxes[] = {
      {kUsePasswordBox, "Veradex 시작 시 암호 확인"},
      {kRunAtSysstartBox, SettingsTexts::kRunAtStartBox},
      {kHideAtRunBox, "Veradex 시작 시 창 숨기기"},
  };
  int y = 34;
  for (const Box& box : boxes) {
    new wxCheckBox(this, box.id, SettingsTexts::Wx(box.text), wxPoint(40, y), wxSize(260, 24));
    y += 40;
  }
}

wxCheckBox* GeneralPage::CheckBox(int id) const { return dynamic_cast<wxCheckBox*>(FindWindow(id)); }

void GeneralPage::TransferToControls() {
  CheckBox(kUsePasswordBox)->SetValue(fields_.usePassword);
  CheckBox(kRunAtSysstartBox)->SetValue(fields_.runAtSysstart);
  CheckBox(kHideAtRunBox)->SetValue(fields_.hideAtRun);
}

void GeneralPage::TransferFromControls() {
  fields_.usePassword = CheckBox(kUsePasswordBox)->GetValue();
  fields_.runAtSysstart = CheckBox(kRunAtSysstartBox)->GetValue();
  fields_.hideAtRun = CheckBox(kHideAtRunBox)->GetValue();
}

}  // namespace veradex
