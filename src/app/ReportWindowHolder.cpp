#include "app/ReportWindowHolder.h"

#include "platform/Cp949.h"
#include "platform/NativePath.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/EmailReportPanel.h"
#include "ui/report/ReportWindow.h"
#include "ui/report/ReportWindowHost.h"

namespace veradex {

ReportWindowHolder::ReportWindowHolder(ReportWindowHost& tray) {
  auto* window = new ReportWindow();
  if (!window->Create(nullptr)) {
    // Without a window there is nothing to show; the tray then tells the
    // user that the installation is broken.
    delete window;
    return;
  }
  window->CentreOnScreen();
  window->SetTray(&tray);
  window_ = window;
}

ReportWindowHolder::~ReportWindowHolder() {
  if (window_ != nullptr) window_->Destroy();
}

bool ReportWindowHolder::IsWindowShown() const { return window_ != nullptr && window_->IsShown(); }

void ReportWindowHolder::ShowWindow() {
  if (window_ == nullptr) return;
  window_->Show();
  window_->Raise();
}

void ReportWindowHolder::LoadProfileFields() {
  if (window_ != nullptr) window_->LoadProfileFields();
}

bool ReportWindowHolder::IsReady() const { return window_ != nullptr && window_->IsReady(); }

std::string ReportWindowHolder::ProgramDir() const {
  return window_ != nullptr ? Cp949::FromWxLossy(window_->GetProgramDir()) : std::string();
}

wxWindow* ReportWindowHolder::Window() { return window_; }

void ReportWindowHolder::SetReportHistory(ReportHistory* history) {
  if (window_ != nullptr) window_->SetReportHistory(history);
}

bool ReportWindowHolder::AddAttachment(const std::string& nativePath) {
  if (window_ == nullptr || window_->GetAttachmentList() == nullptr) return false;
  // Not while a report goes out (the guard says so).
  if (!window_->GetAttachmentList()->ChangesAllowed()) return false;
  window_->ShowEmailView();
  return window_->GetAttachmentList()->AddFile(NativePath::ToWx(nativePath)) == 1;
}

void ReportWindowHolder::SetOutbox(Outbox* outbox, std::function<void()> onKept) {
  if (window_ != nullptr) window_->SetOutbox(outbox, std::move(onKept));
}

bool ReportWindowHolder::IsSending() const { return window_ != nullptr && window_->EmailReport().IsSending(); }

void ReportWindowHolder::RefreshCategoryPage() {
  if (window_ != nullptr) window_->RefreshCategoryPage();
}

}  // namespace veradex
