#pragma once

#include <string>

#include "ui/skin/SkinDialog.h"

class wxTextCtrl;

namespace veradex {

class SkinBitmapButton;

// The first-run dialog that asks for a new program password, typed twice.
// OK hands the password back only when both entries agree byte for byte;
// otherwise it says so and keeps the dialog open with the first entry
// selected. It never touches the profile: start-up stores what it returns.
class PasswordSetupDialog : public SkinDialog {
 public:
  explicit PasswordSetupDialog(wxWindow* parent = nullptr);

  // Shows the dialog modally: 1 when confirmed, 2 when cancelled.
  int DoModal();
  // After a result of 1: the new password (edit 1014), code page 949 bytes.
  const std::string& Password() const { return password_; }
  const std::string& Confirmation() const { return confirmation_; }

  // The actions of the OK (1000, Enter) and Cancel (1018, closing) buttons.
  void OnOK();
  void OnCancel();

  wxTextCtrl* PasswordEdit() const { return passwordEdit_; }
  wxTextCtrl* ConfirmationEdit() const { return confirmationEdit_; }

 protected:
  // Enter runs OK; Escape is swallowed.
  bool OnSkinKey(wxKeyEvent& event) override;

 private:
  std::string password_;
  std::string confirmation_;
  wxTextCtrl* passwordEdit_ = nullptr;
  wxTextCtrl* confirmationEdit_ = nullptr;
  SkinBitmapButton* okButton_ = nullptr;
  SkinBitmapButton* cancelButton_ = nullptr;
};

}  // namespace veradex
