#include "ui/skin/CueEdit.h"

#include <wx/settings.h>

namespace veradex {

const wxColour CueEdit::kCueColour(119, 121, 118);
const wxString CueEdit::kDefaultCue(wxS("<Enter text here>\r\naaa"));

CueEdit::CueEdit(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : cueText_(kDefaultCue) {
  Create(parent, id, wxEmptyString, pos, size, style | wxTE_MULTILINE);
  SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
  cueShown_ = true;
  SetEditText(cueText_);
  SelectNone();
  ShowPosition(0);
  UpdateColour();
  Bind(wxEVT_KEY_DOWN, &CueEdit::OnKeyOrMouseDown, this);
  Bind(wxEVT_LEFT_DOWN, &CueEdit::OnKeyOrMouseDown, this);
  Bind(wxEVT_MIDDLE_DOWN, &CueEdit::OnKeyOrMouseDown, this);
  Bind(wxEVT_RIGHT_DOWN, &CueEdit::OnKeyOrMouseDown, this);
  Bind(wxEVT_SET_FOCUS, &CueEdit::OnSetFocus, this);
}

// The cue is written with Windows line ends; the control shows plain ones.
wxString CueEdit::ForDisplay(const wxString& text) {
#ifdef __WXMSW__
  return text;
#else
  wxString shown(text);
  shown.Replace(wxS("\r\n"), wxS("\n"));
  return shown;
#endif
}

void CueEdit::SetCueText(const wxString& text) {
  cueText_ = text;
  if (text.empty()) {
    EndCue();
    return;
  }
  if (cueShown_) SetEditText(text);
}

void CueEdit::SetEditText(const wxString& text) {
  if (cueShown_ && text.empty()) return;
  if (!text.empty() && ForDisplay(text) != ForDisplay(cueText_)) EndCue();
  wxTextCtrl::DoSetValue(ForDisplay(text), 0);
}

void CueEdit::EndCue() {
  if (!cueShown_) return;
  cueShown_ = false;
  UpdateColour();
}

void CueEdit::UpdateColour() {
  SetForegroundColour(cueShown_ ? kCueColour : wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
}

wxString CueEdit::GetValue() const { return cueShown_ ? wxString() : wxTextCtrl::GetValue(); }

wxString CueEdit::DoGetValue() const { return cueShown_ ? wxString() : wxTextCtrl::DoGetValue(); }

void CueEdit::DoSetValue(const wxString& value, int flags) {
  // Any setting of the text, from the program or the data exchange.
  if (cueShown_ && value.empty()) return;
  if (ForDisplay(value) != ForDisplay(cueText_)) EndCue();
  wxTextCtrl::DoSetValue(value, flags);
}

void CueEdit::OnKeyOrMouseDown(wxEvent& event) {
  if (cueShown_) {
    EndCue();
    SetEditText(wxString());
  }
  event.Skip();
}

void CueEdit::OnSetFocus(wxFocusEvent& event) {
  event.Skip();
  if (!cueShown_) return;
  CallAfter([this]() {
    if (!cueShown_) return;
    const long end = GetLastPosition();
    SetSelection(end, end);
    ShowPosition(end);
  });
}

}  // namespace veradex
