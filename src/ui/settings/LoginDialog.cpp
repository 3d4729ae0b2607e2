#include "ui/settings/LoginDialog.h"

#include <wx/textctrl.h>

#include "platform/Cp949.h"
#include "platform/MessageSink.h"
#include "ui/settings/SettingsTexts.h"
#include "ui/settings/StorableText.h"
#include "ui/skin/AccessibleInfo.h"
#include "ui/skin/SkinBitmapButton.h"
#include "ui/skin/SkinLabel.h"

namespace veradex {

namespace {

enum : int {
  kTemplateId = 140,
  kSkinBitmap = 272,
  kOkButton = 1000,
  kCancelButton = 1018,
  kPasswordEdit = 1015,
  kPasswordLabel = 1026,
};

}  // namespace

LoginDialog::LoginDialog(wxWindow* parent) : SkinDialog(kSkinBitmap, kSkinBitmap) {
  Create(parent, kTemplateId, SettingsTexts::Wx(SettingsTexts::kLoginCaption));
  CreateCaption(SettingsTexts::Wx(SettingsTexts::kLoginCaption));
  SkinLabel* label = CreateLabel(kPasswordLabel, SettingsTexts::Wx("암호"), Du(35, 73, 15, 8));
  passwordEdit_ = CreateEdit(kPasswordEdit, Du(57, 72, 70, 12), wxTE_PASSWORD);
  AccessibleInfo::SetLabelledBy(passwordEdit_, label);
  okButton_ = CreateButton(kOkButton, SettingsTexts::Wx("확인"), Du(26, 131, 52, 17), 147, 148, 147, 150);
  cancelButton_ = CreateButton(kCancelButton, SettingsTexts::Wx("취소"), Du(85, 131, 52, 17), 135, 136, 134, 138);

  Bind(wxEVT_BUTTON, Command([this] { OnOK(); }), kOkButton);
  Bind(wxEVT_BUTTON, Command([this] { OnCancel(); }), kCancelButton);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { OnCancel(); });
  passwordEdit_->SetFocus();
}

int LoginDialog::DoModal() {
  passwordEdit_->SetFocus();
  return ShowModal() == kIdOk ? kIdOk : kIdCancel;
}

void LoginDialog::OnOK() {
  std::string typed;
  // Keep the dialog and the entry; the user removes the character.
  if (!StorableText::Read(passwordEdit_, &typed)) return;
  password_ = typed;
  if (IsModal()) EndModal(kIdOk);
}

void LoginDialog::OnCancel() {
  passwordEdit_->ChangeValue(wxEmptyString);
  if (IsModal()) EndModal(kIdCancel);
}

bool LoginDialog::OnSkinKey(wxKeyEvent& event) {
  return AnswerKey(event, [this] { OnOK(); });
}

}  // namespace veradex
