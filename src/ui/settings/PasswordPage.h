#pragma once

#include <string>

#include "ui/settings/SettingsPage.h"

class wxTextCtrl;

namespace veradex {

// The password page of the settings dialog: the current program password and
// the new one typed twice, all masked. The fields hold code page 949 bytes.
class PasswordPage : public SettingsPage {
 public:
  PasswordPage(wxWindow* parent, const wxRect& rect);

  void TransferToControls();
  // A text that code page 949 cannot hold leaves the fields as they were and
  // returns the edit that holds it.
  bool TransferFromControls(wxTextCtrl** unstorable = nullptr);

  wxTextCtrl* Edit(int id) const;

  // What the page exchanges with its edits.
  struct Fields {
    std::string currentPassword;
    std::string newPassword;
    std::string confirmation;
  };
  Fields& Data() { return fields_; }
  const Fields& Data() const { return fields_; }

  enum : int { kCurrentEdit = 1009, kNewEdit = 1010, kConfirmationEdit = 1011 };

 private:
  Fields fields_;
};

}  // namespace veradex
