#include "app/SettingsDialogHolder.h"

#include "profile/SettingsDialog.h"

namespace veradex {

SettingsDialogHolder::SettingsDialogHolder() : dialog_(new SettingsDialog(nullptr)) { dialog_->CentreOnScreen(); }

SettingsDialogHolder::~SettingsDialogHolder() { dialog_->Destroy(); }

void SettingsDialogHolder::SelectPage(int page) { dialog_->SelectPage(page); }

void SettingsDialogHolder::LoadPages() { dialog_->LoadPages(); }

void SettingsDialogHolder::ShowDialog() {
  dialog_->Show();
  dialog_->Raise();
}

void SettingsDialogHolder::SetReportWindowLink(ReportWindowLink* link) { dialog_->SetReportWindowLink(link); }

}  // namespace veradex
