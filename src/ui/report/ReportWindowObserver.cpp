#include "ui/report/ReportWindowObserver.h"

#include <cstdio>
#include <future>

#include <wx/app.h>
#include <wx/thread.h>

#include "platform/Cp949.h"
#include "platform/MessageSink.h"
#include "platform/TempFolder.h"
#include "ui/report/ReportWindow.h"
#include "ui/skin/SkinMessageBox.h"

namespace veradex {

ReportWindowObserver::ReportWindowObserver(ReportWindow* window) : link(std::make_shared<Link>()) {
  link->window = window;
}

void ReportWindowObserver::SetProgramDir(const std::string& cp949ProgramDir) { programDir = cp949ProgramDir; }

void ReportWindowObserver::Detach() {
  std::lock_guard<std::mutex> lock(link->mutex);
  link->window = nullptr;
}

template <typename F>
void ReportWindowObserver::Post(F action) {
  std::shared_ptr<Link> target = link;
  std::lock_guard<std::mutex> lock(target->mutex);
  if (target->window == nullptr || wxTheApp == nullptr) return;
  // The window is only ever detached on the GUI thread, where this runs.
  wxTheApp->CallAfter([target, action] {
    if (target->window != nullptr) action(*target->window);
  });
}

int ReportWindowObserver::ShowMessage(const std::string& text, unsigned style) {
  if (wxIsMainThread()) return MessageSink::Current().ShowMessage(text, style);
  auto result = std::make_shared<std::promise<int>>();
  std::future<int> answer = result->get_future();
  {
    std::lock_guard<std::mutex> lock(link->mutex);
    if (link->window == nullptr || wxTheApp == nullptr) {
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
  Post([percent](ReportWindow& window) { window.SetProgress(percent); });
}

void ReportWindowObserver::OnCleanTempFolder() { TempFolder::EmptyFiles(programDir); }

void ReportWindowObserver::OnRunEnded() {
  Post([](ReportWindow& window) { window.OnRunEnded(); });
}

void ReportWindowObserver::OnAttachmentsCleared() {
  Post([](ReportWindow& window) { window.OnAttachmentsCleared(); });
}

void ReportWindowObserver::OnAttachmentsReceived(const std::vector<std::size_t>& received) {
  Post([received](ReportWindow& window) { window.OnAttachmentsReceived(received); });
}

void ReportWindowObserver::OnAttachmentCountChanged() {
  Post([](ReportWindow& window) { window.UpdateCountLabel(); });
}

}  // namespace veradex
