#pragma once

#include <vector>

#include <wx/control.h>
#include <wx/dc.h>

namespace veradex {

// A static text drawn by itself, so that it looks the same on every platform
// over a skinned dialog:
//  - kSkinShowsThrough: the dialog's skin (its caption brush) is drawn under
//    the text, as if the label were transparent (the caption 1009);
//  - kWhite: the label's area is white and the text is drawn on it (the
//    label statics of the dialogs, the message text);
//  - kParentColour: the parent's background colour.
// Long texts wrap at blanks (words longer than a line break between
// characters) when wxST_ELLIPSIZE_END is not given and the label is more than
// one line high; explicit line breaks ("\n", "\r\n") always break. Whatever
// does not fit is cut at the bottom edge. A mouse press on the label starts a
// drag of its skinned dialog, like a press on the dialog itself.
class SkinLabel : public wxControl {
 public:
  enum Background { kSkinShowsThrough, kWhite, kParentColour };

  SkinLabel() = default;
  // style: wxALIGN_LEFT (default), wxALIGN_CENTRE_HORIZONTAL or wxALIGN_RIGHT.
  SkinLabel(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos, const wxSize& size,
            long style = wxALIGN_LEFT, Background background = kWhite);
  bool Create(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos, const wxSize& size,
              long style = wxALIGN_LEFT, Background background = kWhite);

  void SetLabel(const wxString& label) override;
  void SetBackgroundKind(Background background);
  Background GetBackgroundKind() const { return background_; }
  // The lines the label shows in its current size and font.
  std::vector<wxString> GetShownLines() const;

  bool AcceptsFocus() const override { return false; }
  bool AcceptsFocusFromKeyboard() const override { return false; }

  // Breaks text into lines no wider than width pixels in the dc's font.
  static std::vector<wxString> WrapLines(const wxString& text, const wxDC& dc, int width, bool wrap);

 protected:
  wxSize DoGetBestSize() const override;

 private:
  void OnPaint(wxPaintEvent& event);
  void OnMouseDown(wxMouseEvent& event);
  void DrawBackground(wxDC& dc);

  Background background_ = kWhite;
};

}  // namespace veradex
