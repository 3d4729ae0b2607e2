#pragma once

#include <wx/textctrl.h>

namespace veradex {

// A multi-line edit that shows a grey cue text while it is empty and
// untouched. The cue is a display state, not content: while it shows,
// GetValue() is empty and setting an empty text is ignored (so filling the
// control with an empty field keeps the cue). The first key or mouse press
// (left, middle or right) clears it before the key or click takes effect.
// Setting any text other than the cue turns the cue off and keeps that text.
class CueEdit : public wxTextCtrl {
 public:
  static const wxColour kCueColour;   // RGB(119, 121, 118)
  static const wxString kDefaultCue;  // "<Enter text here>\r\naaa"

  CueEdit(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
          long style = 0);

  // Stores the cue. An empty cue ends the cue state and leaves the shown text
  // as ordinary content; otherwise a cue being shown is replaced.
  void SetCueText(const wxString& text);
  // Sets the text: ignored when the cue shows and the text is empty; a text
  // other than the cue ends the cue state.
  void SetEditText(const wxString& text);

  bool IsCueShown() const { return cueShown_; }
  const wxString& GetCueText() const { return cueText_; }
  // What the control displays, cue included.
  wxString GetShownText() const { return wxTextCtrl::DoGetValue(); }

  wxString GetValue() const override;

 protected:
  wxString DoGetValue() const override;
  void DoSetValue(const wxString& value, int flags) override;

 private:
  void OnKeyOrMouseDown(wxEvent& event);
  void OnSetFocus(wxFocusEvent& event);
  void UpdateColour();
  void EndCue();
  static wxString ForDisplay(const wxString& text);

  bool cueShown_ = true;
  wxString cueText_;
};

}  // namespace veradex
