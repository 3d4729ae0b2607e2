#pragma once

#include <wx/panel.h>

namespace veradex {

// Base of the settings dialog's pages: a frameless child panel painted white,
// placed in the page area of the dialog's tab control. A press on the page's
// own surface or on one of its labels drags the dialog, as a press anywhere
// else on the skinned dialog does.
class SettingsPage : public wxPanel {
 public:
  SettingsPage(wxWindow* parent, wxWindowID id, const wxRect& rect);

 protected:
  // Call once the page's controls exist: its labels then drag the dialog too.
  void LetLabelsDrag();

 private:
  void OnLeftDown(wxMouseEvent& event);
};

}  // namespace veradex
