#include "ui/settings/SettingsPage.h"

#include <wx/toplevel.h>

#include "ui/skin/SkinDialog.h"
#include "ui/skin/SkinLabel.h"

namespace veradex {

SettingsPage::SettingsPage(wxWindow* parent, wxWindowID id, const wxRect& rect)
    : wxPanel(parent, id, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE | wxTAB_TRAVERSAL) {
  SetBackgroundColour(*wxWHITE);
  Bind(wxEVT_LEFT_DOWN, &SettingsPage::OnLeftDown, this);
}

void SettingsPage::LetLabelsDrag() {
  for (wxWindow* child : GetChildren()) {
    if (dynamic_cast<SkinLabel*>(child) != nullptr) child->Bind(wxEVT_LEFT_DOWN, &SettingsPage::OnLeftDown, this);
  }
}

void SettingsPage::OnLeftDown(wxMouseEvent& event) {
  auto* dialog = dynamic_cast<SkinDialog*>(wxGetTopLevelParent(this));
  wxWindow* source = dynamic_cast<wxWindow*>(event.GetEventObject());
  if (dialog == nullptr || source == nullptr) {
    event.Skip();
    return;
  }
  dialog->BeginDrag(source->ClientToScreen(event.GetPosition()));
}

}  // namespace veradex
