#include "ui/report/ReportWindowObserver.h"

#include <wx/app.h>

#include "platform/MessageSink.h"
#include "ui/report/ReportWindow.h"

namespace veradex {

ReportWindowObserver::ReportWindowObserver(ReportWindow* window) : link(std::make_shared<Link>()) {
  link->window = window;
}

void ReportWindowObserver::SetTempFolder(const std::string& folder) { tempFolder = folder; }

void ReportWindowObserver::Detach() { link->window = nullptr; }

template <typename F>
void ReportWindowObserver::Post(F action) {
  if (wxTheApp == nullptr) return;
  std::shared_ptr<Link> target = link;
  wxTheApp->CallAfter([target, action] {
    if (target->window != nullptr) action(*target->window);
  });
}

int ReportWindowObserver::ShowMessage(const std::string& text, unsigned style) {
  return MessageSink::Current().ShowMessage(text, style);
}

void ReportWindowObserver::OnProgress(int percent) {
  Post([percent](ReportWindow& window) { window.SetProgress(percent); });
}

void ReportWindowObserver::OnCleanTempFolder() { ReportWindow::CleanFolder(tempFolder); }

void ReportWindowObserver::OnRunEnded() {
  Post([](ReportWindow& window) { window.OnRunEnded(); });
}

void ReportWindowObserver::OnAttachmentsCleared() {
  Post([](ReportWindow& window) { window.OnAttachmentsCleared(); });
}

void ReportWindowObserver::OnAttachmentCountChanged() {
  Post([](ReportWindow& window) { window.UpdateCountLabel(); });
}

}  // namespace veradex
