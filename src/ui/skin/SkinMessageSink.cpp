#include "ui/skin/SkinMessageSink.h"

#include <cstdio>
#include <future>
#include <memory>

#include <wx/app.h>
#include <wx/thread.h>

#include "ui/skin/SkinMessageBox.h"

namespace veradex {

namespace {

int ShowHere(const std::string& text, unsigned style) {
  SkinMessageBox box(text, style, nullptr);
  return box.DoModal();
}

}  // namespace

int SkinMessageSink::ShowMessage(const std::string& text, unsigned style) {
  if (wxTheApp == nullptr) {
    // No GUI to show it in: tell standard error and count it as refused.
    std::fprintf(stderr, "veradex: %s\n", text.c_str());
    return SkinMessageBox::MapResult(style, 0);
  }
  if (wxIsMainThread()) return ShowHere(text, style);

  auto result = std::make_shared<std::promise<int>>();
  std::future<int> answer = result->get_future();
  wxTheApp->CallAfter([text, style, result]() { result->set_value(ShowHere(text, style)); });
  try {
    return answer.get();
  } catch (const std::future_error&) {
    // The GUI ended before it could show the box: a refusal.
    return SkinMessageBox::MapResult(style, 0);
  }
}

}  // namespace veradex
