#pragma once

#include <string>

#include "ui/skin/SkinDialog.h"

class wxTextCtrl;

namespace veradex {

class SkinBitmapButton;

// The small modal dialog that asks for the program password before a
// protected action (start-up with the password check on, the settings
// commands of the tray menu). It only collects the text; the caller compares
// it with the stored password and repeats the prompt on a mismatch, showing
// the same object again. Cancel empties the edit, OK keeps it, so a retry
// shows the previous entry.
class LoginDialog : public SkinDialog {
 public:
  explicit LoginDialog(wxWindow* parent = nullptr);

  // Shows the dialog modally: 1 when confirmed, 2 when cancelled.
  int DoModal();
  // After a result of 1: the typed password, code page 949 bytes. After a
  // result of 2 it keeps its previous value (empty for a new object).
  const std::string& Password() const { return password_; }

  // The actions of the OK (1000, Enter) and Cancel (1018, closing) buttons.
  void OnOK();
  void OnCancel();

  wxTextCtrl* PasswordEdit() const { return passwordEdit_; }

 protected:
  // Enter runs OK; Escape is swallowed.
  bool OnSkinKey(wxKeyEvent& event) override;

 private:
  std::string password_;
  wxTextCtrl* passwordEdit_ = nullptr;
  SkinBitmapButton* okButton_ = nullptr;
  SkinBitmapButton* cancelButton_ = nullptr;
};

}  // namespace veradex
