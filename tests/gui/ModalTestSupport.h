#pragma once

// Acting on modal dialogs from a test. A test that calls DoModal()/ShowModal()
// is blocked in the dialog's event loop; arrange beforehand what should
// happen once the dialog is up:
//
//   ModalAction done = EndNextModal<SkinMessageBox>([](SkinMessageBox* box) {
//     PressButton(box, SkinMessageBox::kOkId);
//   });
//   EXPECT_EQ(box.DoModal(), 1);
//   EXPECT_TRUE(done->ran);
//
// The action runs inside the modal loop, once, as soon as a shown modal
// dialog of the wanted class exists. When no such dialog appears within the
// time-out the poller gives up; when the action leaves the dialog open, the
// dialog is ended with wxID_CANCEL after the time-out so that a test never
// hangs (ran is true, but ended_by_timeout tells).

#include <chrono>
#include <functional>
#include <memory>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/timer.h>
#include <wx/toplevel.h>

namespace veradex::test {

struct ModalActionState {
  bool ran = false;
  bool endedByTimeout = false;
  wxDialog* dialog = nullptr;
};
using ModalAction = std::shared_ptr<ModalActionState>;

// The shown modal dialog of class Dialog, or nullptr.
template <class Dialog = wxDialog>
Dialog* FindModal() {
  for (wxWindow* window : wxTopLevelWindows) {
    auto* dialog = dynamic_cast<Dialog*>(window);
    if (dialog != nullptr && dialog->IsModal() && dialog->IsShown()) return dialog;
  }
  return nullptr;
}

// Sends wxEVT_BUTTON from the child window with this id, as a click does.
// Returns false when the window has no such child.
inline bool PressButton(wxWindow* window, int id) {
  wxWindow* child = window->FindWindow(id);
  if (child == nullptr) return false;
  wxCommandEvent event(wxEVT_BUTTON, id);
  event.SetEventObject(child);
  child->GetEventHandler()->ProcessEvent(event);
  return true;
}

// Delivers a key press to the window as the dialog's key hook sees it
// (wxEVT_CHAR_HOOK), then as a key down if nobody consumed it. There is no
// window manager under Xvfb, so real key presses never reach a dialog.
inline void PressKey(wxWindow* window, int keyCode, int modifiers = 0) {
  wxKeyEvent hook(wxEVT_CHAR_HOOK);
  hook.m_keyCode = keyCode;
  hook.SetEventObject(window);
  hook.SetControlDown((modifiers & wxMOD_CONTROL) != 0);
  hook.SetShiftDown((modifiers & wxMOD_SHIFT) != 0);
  hook.SetAltDown((modifiers & wxMOD_ALT) != 0);
  hook.SetEventType(wxEVT_CHAR_HOOK);
  const bool handled = window->GetEventHandler()->ProcessEvent(hook);
  if (handled && !hook.GetSkipped()) return;
  wxKeyEvent down(hook);
  down.SetEventType(wxEVT_KEY_DOWN);
  window->GetEventHandler()->ProcessEvent(down);
}

namespace detail {

class ModalPoller : public wxTimer {
 public:
  ModalPoller(std::function<bool()> findAndAct, ModalAction state, std::chrono::milliseconds timeout)
      : findAndAct_(std::move(findAndAct)),
        state_(std::move(state)),
        deadline_(std::chrono::steady_clock::now() + timeout) {}

  void Notify() override {
    const auto now = std::chrono::steady_clock::now();
    if (!state_->ran) {
      if (findAndAct_()) {
        deadline_ = now + std::chrono::seconds(10);
        return;  // wait for the dialog to end
      }
      if (now >= deadline_) Finish();
      return;
    }
    // After the action: done once the dialog is no longer modal.
    wxDialog* dialog = state_->dialog;
    bool stillModal = false;
    for (wxWindow* window : wxTopLevelWindows) {
      if (window == dialog && dialog->IsModal()) stillModal = true;
    }
    if (!stillModal) {
      Finish();
    } else if (now >= deadline_) {
      state_->endedByTimeout = true;
      dialog->EndModal(wxID_CANCEL);
      Finish();
    }
  }

 private:
  void Finish() {
    Stop();
    // Deleted outside Notify().
    wxTheApp->CallAfter([this]() { delete this; });
  }

  std::function<bool()> findAndAct_;
  ModalAction state_;
  std::chrono::steady_clock::time_point deadline_;
};

}  // namespace detail

// Runs action on the next shown modal dialog of class Dialog (see above).
template <class Dialog = wxDialog>
ModalAction EndNextModal(std::function<void(Dialog*)> action,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  auto state = std::make_shared<ModalActionState>();
  auto findAndAct = [action, state]() {
    Dialog* dialog = FindModal<Dialog>();
    if (dialog == nullptr) return false;
    state->ran = true;
    state->dialog = dialog;
    action(dialog);
    return true;
  };
  auto* poller = new detail::ModalPoller(findAndAct, state, timeout);
  poller->Start(20);
  return state;
}

}  // namespace veradex::test
