#include "ui/settings/PasswordSetupDialog.h"

#include <wx/statbmp.h>
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
  kTemplateId = 139,
  kSkinBitmap = 266,
  kStopPicture = 271,
  kOkButton = 1000,
  kCancelButton = 1018,
  kConfirmationEdit = 1013,
  kPasswordEdit = 1014,
  kPicture = 1017,
  kExplanation = 1074,
};

const char* const kExplanationText =
    "프로그램 시작, 종료, 환경설정 등 관리를 위해 암호설정이\n필요합니다.\n암호 분실 시 프로그램 관리가\n"
    "불가능하므로 반드시 기억하시기\n바랍니다.";

}  // namespace

PasswordSetupDialog::PasswordSetupDialog(wxWindow* parent) : SkinDialog(kSkinBitmap, kSkinBitmap) {
  Create(parent, kTemplateId, SettingsTexts::Wx(SettingsTexts::kSetupCaption));
  CreateCaption(SettingsTexts::Wx(SettingsTexts::kSetupCaption));

  // The picture is hidden in the layout and shown once the dialog is set up.
  wxStaticBitmap* picture = CreatePicture(kPicture, kStopPicture, Du(37, 53, 25, 22));
  CreateLabel(kExplanation, SettingsTexts::Wx(kExplanationText), Du(73, 37, 110, 56));
  SkinLabel* passwordLabel = CreateLabel(wxID_ANY, SettingsTexts::Wx("암호 설정"), Du(29, 100, 31, 8));
  passwordEdit_ = CreateEdit(kPasswordEdit, Du(69, 99, 112, 12), wxTE_PASSWORD);
  SkinLabel* confirmationLabel = CreateLabel(wxID_ANY, SettingsTexts::Wx("암호 재확인"), Du(29, 121, 38, 8));
  confirmationEdit_ = CreateEdit(kConfirmationEdit, Du(69, 120, 112, 12), wxTE_PASSWORD);
  AccessibleInfo::SetLabelledBy(passwordEdit_, passwordLabel);
  AccessibleInfo::SetLabelledBy(confirmationEdit_, confirmationLabel);
  okButton_ = CreateButton(kOkButton, SettingsTexts::Wx("확인"), Du(51, 165, 52, 17), 147, 148, 147, 150);
  cancelButton_ = CreateButton(kCancelButton, SettingsTexts::Wx("취소"), Du(110, 165, 52, 17), 135, 136, 134, 138);
  picture->Show();

  Bind(wxEVT_BUTTON, Command([this] { OnOK(); }), kOkButton);
  Bind(wxEVT_BUTTON, Command([this] { OnCancel(); }), kCancelButton);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { OnCancel(); });
  passwordEdit_->SetFocus();
}

int PasswordSetupDialog::DoModal() {
  passwordEdit_->SetFocus();
  return ShowModal() == kIdOk ? kIdOk : kIdCancel;
}

void PasswordSetupDialog::OnOK() {
  std::string first;
  std::string second;
  if (!StorableText::Read(passwordEdit_, &first) || !StorableText::Read(confirmationEdit_, &second)) return;
  password_ = first;
  confirmation_ = second;
  if (password_ == confirmation_) {
    if (IsModal()) EndModal(kIdOk);
    return;
  }
  MessageSink::Current().ShowMessage(SettingsTexts::Bytes(SettingsTexts::kPasswordsDiffer), kStyleStop);
  passwordEdit_->SelectAll();
  passwordEdit_->ShowPosition(passwordEdit_->GetLastPosition());
  passwordEdit_->SetFocus();
}

void PasswordSetupDialog::OnCancel() {
  passwordEdit_->ChangeValue(wxEmptyString);
  confirmationEdit_->ChangeValue(wxEmptyString);
  if (IsModal()) EndModal(kIdCancel);
}

bool PasswordSetupDialog::OnSkinKey(wxKeyEvent& event) {
  return AnswerKey(event, [this] { OnOK(); });
}

}  // namespace veradex
