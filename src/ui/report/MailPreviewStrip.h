#pragma once

#include <vector>

#include <wx/colour.h>
#include <wx/control.h>

class wxDC;

namespace veradex {

struct MailSummary;

// The free strip under the send row of the e-mail report view: what the
// attached file under the pointer (else the selected one) is, one line each
// for the subject, the sender, the date and the first receiving hop, in the
// view's font and colours, each cut to the width with "…". A file that is no
// mail (or cannot be read) says so in red. Nothing to show: an empty strip.
class MailPreviewStrip : public wxControl {
 public:
  struct Line {
    wxString label;  // "제목", ...; empty for a notice that fills the line
    wxString text;   // as drawn: cut to the room there is
    wxColour colour;
  };

  MailPreviewStrip(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);

  // Shows what a file is; nullptr: nothing.
  void ShowSummary(const MailSummary* summary);
  // The lines as they are drawn in the strip's size and font.
  std::vector<Line> GetShownLines() const;

  // The longest start of text that fits width pixels in the dc's font with
  // "…" after it, or text itself when it fits whole.
  static wxString FitToWidth(const wxString& text, const wxDC& dc, int width);

  bool AcceptsFocus() const override { return false; }
  bool AcceptsFocusFromKeyboard() const override { return false; }

 private:
  std::vector<Line> LinesIn(const wxDC& dc) const;
  void OnPaint(wxPaintEvent& event);

  std::vector<Line> lines_;  // whole texts
};

}  // namespace veradex
