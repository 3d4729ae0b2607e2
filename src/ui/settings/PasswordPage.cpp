#include "ui/settings/PasswordPage.h"

#include <wx/textctrl.h>

#include "platform/Cp949.h"
#include "ui/settings/SettingsTexts.h"
#include "ui/skin/AccessibleInfo.h"
#include "ui/skin/SkinLabel.h"

namespace veradex {

PasswordPage::PasswordPage(wxWindow* parent, const wxRect& rect) : SettingsPage(parent, 138, rect) {
  struct Row {
    int id;
    const char* label;
  };
  const Row rows[] = {{kCurrentEdit, "암호확인"}, {kNewEdit, "새 암호"}, {kConfirmationEdit, "새 암호재확인"}};
  int y = 36;
  for (const Row& row : rows) {
    auto* label = new SkinLabel(this, wxID_ANY, SettingsTexts::Wx(row.label), wxPoint(40, y + 4), wxSize(96, 18));
    auto* edit =
        new wxTextCtrl(this, row.id, wxEmptyString, wxPoint(140, y), wxSize(170, 24), wxTE_PASSWORD | wxBORDER_SIMPLE);
    AccessibleInfo::SetLabelledBy(edit, label);
    y += 40;
  }
  LetLabelsDrag();
}

wxTextCtrl* PasswordPage::Edit(int id) const { return dynamic_cast<wxTextCtrl*>(FindWindow(id)); }

void PasswordPage::TransferToControls() {
  Edit(kCurrentEdit)->ChangeValue(Cp949::ToWx(fields_.currentPassword));
  Edit(kNewEdit)->ChangeValue(Cp949::ToWx(fields_.newPassword));
  Edit(kConfirmationEdit)->ChangeValue(Cp949::ToWx(fields_.confirmation));
}

bool PasswordPage::TransferFromControls(wxTextCtrl** unstorable) {
  const int ids[] = {kCurrentEdit, kNewEdit, kConfirmationEdit};
  std::string values[3];
  for (int i = 0; i < 3; ++i) {
    if (!Cp949::FromWx(Edit(ids[i])->GetValue(), &values[i])) {
      if (unstorable != nullptr) *unstorable = Edit(ids[i]);
      return false;
    }
  }
  fields_.currentPassword = values[0];
  fields_.newPassword = values[1];
  fields_.confirmation = values[2];
  return true;
}

}  // namespace veradex
