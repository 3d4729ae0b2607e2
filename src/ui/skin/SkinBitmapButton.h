#pragma once

#include <wx/bitmap.h>
#include <wx/control.h>
#include <wx/dc.h>

namespace veradex {

// A push button painted from up to four bitmaps: up, down (pressed), focus
// and disabled. The bitmap for the current state is drawn unscaled at the
// button's top-left corner over the button's size; the button keeps the size
// it was created with. A click (mouse released over the pressed button, or
// the space bar, or Enter) sends wxEVT_BUTTON with the button's id. The
// focused button shows a dotted ring inside its edge. Without bitmaps it
// draws a plain button with its label.
class SkinBitmapButton : public wxControl {
 public:
  enum Look { kLookUp, kLookDown, kLookFocus, kLookDisabled };

  SkinBitmapButton() = default;
  SkinBitmapButton(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos, const wxSize& size);
  bool Create(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos, const wxSize& size);

  // Loads the four bitmaps by resource id (0 = none). Returns false when the
  // up bitmap is missing; the other states then fall back as drawn below.
  bool LoadBitmaps(int up, int down = 0, int focus = 0, int disabled = 0);
  // Replaces the images at run time (the report window's hover and current
  // looks) and repaints. Same ids as LoadBitmaps.
  void SetLook(int up, int down, int focus, int disabled);
  void SetBitmaps(const wxBitmap& up, const wxBitmap& down, const wxBitmap& focus, const wxBitmap& disabled);
  const wxBitmap& GetLookBitmap(Look look) const { return bitmaps_[look]; }
  // The resource ids last loaded (0 for none), for the looks above.
  int GetLookId(Look look) const { return ids_[look]; }

  // The state rule: pressed with a down bitmap draws down; otherwise focused
  // with a focus bitmap draws focus; otherwise disabled with a disabled
  // bitmap draws disabled; otherwise up.
  static Look ChooseLook(bool pressed, bool focused, bool disabled, bool haveDown, bool haveFocus, bool haveDisabled);
  Look CurrentLook() const;
  bool IsPressed() const { return pressed_ && pointerInside_; }

  // Sends wxEVT_BUTTON as a click does.
  void Click();

  bool AcceptsFocus() const override { return IsShown() && IsEnabled(); }
  bool Enable(bool enable = true) override;

 protected:
  wxSize DoGetBestSize() const override;

 private:
  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnMotion(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void OnKeyUp(wxKeyEvent& event);
  void OnFocus(wxFocusEvent& event);
  void Release();
  void DrawFocusRing(wxDC& dc, const wxSize& size);

  wxBitmap bitmaps_[4];
  int ids_[4] = {0, 0, 0, 0};
  bool pressed_ = false;        // mouse (or space bar) held down on the button
  bool pointerInside_ = false;  // the pointer is over the button while held
  bool keyPressed_ = false;
};

}  // namespace veradex
