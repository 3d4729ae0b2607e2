#include "ui/skin/SkinToolTip.h"

#include <wx/window.h>

namespace veradex {

// Here every control's tip is its own and its motion events come as the
// pointer moves: wxWidgets' own tooltips do what is asked.

void SkinToolTip::SetBackgroundTip(wxWindow* window, const wxString& text) {
  if (text.empty())
    window->UnsetToolTip();
  else
    window->SetToolTip(text);
}

wxString SkinToolTip::BackgroundTip(const wxWindow* window) { return window->GetToolTipText(); }

void SkinToolTip::SetTipSource(wxWindow* control, TipSource source) {
  auto follow = [control, source](wxMouseEvent& event) {
    const wxString text = source(event.GetPosition());
    if (text != control->GetToolTipText()) {
      if (text.empty())
        control->UnsetToolTip();
      else
        control->SetToolTip(text);
    }
    event.Skip();
  };
  control->Bind(wxEVT_MOTION, follow);
  control->Bind(wxEVT_ENTER_WINDOW, follow);
}

}  // namespace veradex
