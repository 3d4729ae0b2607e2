#include "app/SettingsDialogHolder.h"

#include "ui/settings/SettingsDialog.h"

namespace veradex {

SettingsDialogHolder::SettingsDialogHolder() : dialog_(new SettingsDialog(nullptr)) { dialog_->CentreOnScreen(); }

SettingsDialogHolder::~SettingsDialogHolder() { dialog_->Destroy(); }

void SettingsDialogHolder::SelectPage(int page) { dialog_->SelectPage(page); }

void SettingsDialogHolder::LoadPages() { dialog_->LoadPages(); }

void SettingsDialogHolder::ShowDialog() {
  dialog_->Show();
  dialog_->Raise();
}

void SettingsDialogHolder::SetProfileChangeListener(ProfileChangeListener* link) {
  dialog_->SetProfileChangeListener(link);
}

}  // namespace veradex
