#include "ui/report/ReportWindowObserver.h"

#include <cstdio>
#include <future>

#include <wx/app.h>
#include <wx/thread.h>

#include "platform/Cp949.h"
#include "platform/MessageSink.h"
#include "platform/TempFolder.h"
#include "ui/report/EmailReportPanel.h"
#include "ui/skin/SkinMessageBox.h"

namespace veradex {

ReportWindowObserver::ReportWindowObserver(EmailReportPanel* view) : link_(std::make_shared<Link>()) {
  link_->view = view;
}

void ReportWindowObserver::SetProgramDir(const std::string& cp949ProgramDir) { programDir_ = cp949ProgramDir; }

void ReportWindowObserver::Detach() {
  std::lock_guard<std::mutex> lock(link_->mutex);
  link_->view = nullptr;
}

template <typename F>
void ReportWindowObserver::Post(F action) {
  std::shared_ptr<Link> target = link_;
  std::lock_guard<std::mutex> lock(target->mutex);
  if (target->view == nullptr || wxTheApp == nullptr) return;
  // The view is only ever detached on the GUI thread, where this runs.
  wxTheApp->CallAfter([target, action] {
    if (target->view != nullptr) action(*target->view);
  });
}

int ReportWindowObserver::ShowMessage(const std::string& text, unsigned style) {
  if (wxIsMainThread()) return MessageSink::Current().ShowMessage(text, style);
  auto result = std::make_shared<std::promise<int>>();
  std::future<int> answer = result->get_future();
  {
    std::lock_guard<std::mutex> lock(link_->mutex);
    if (link_->view == nullptr || wxTheApp == nullptr) {
      std::fprintf(stderr, "veradex: %s\n", static_cast<const char*>(Cp949::ToWx(text).utf8_str()));
      return SkinMessageBox::MapResult(style, 0);
    }
    wxTheApp->CallAfter([text, style, result] { result->set_value(MessageSink::Current().ShowMessage(text, style)); });
  }
  // Waited for without the lock: the GUI may detach the window meanwhile.
  try {
    return answer.get();
  } catch (const std::future_error&) {
    // The application ended before it could show the box: a refusal.
    return SkinMessageBox::MapResult(style, 0);
  }
}

void ReportWindowObserver::OnProgress(int percent) {
  Post([percent](EmailReportPanel& view) { view.SetProgress(percent); });
}

void ReportWindowObserver::OnCleanTempFolder() { TempFolder::EmptyFiles(programDir_); }

void ReportWindowObserver::OnRunEnded() {
  Post([](EmailReportPanel& view) { view.OnRunEnded(); });
}

void ReportWindowObserver::OnAttachmentsCleared() {
  Post([](EmailReportPanel& view) { view.OnAttachmentsCleared(); });
}

void ReportWindowObserver::OnAttachmentsReceived(const std::vector<std::size_t>& received) {
  Post([received](EmailReportPanel& view) { view.OnAttachmentsReceived(received); });
}

void ReportWindowObserver::OnRunResult(const SendResult& result) {
  Post([result](EmailReportPanel& view) { view.OnSendResult(result); });
}

void ReportWindowObserver::OnAttachmentCountChanged() {
  Post([](EmailReportPanel& view) { view.UpdateCountLabel(); });
}

}  // namespace veradex
