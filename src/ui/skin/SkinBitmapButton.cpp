#include "ui/skin/SkinBitmapButton.h"

#include <map>

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include "ui/skin/AccessibleInfo.h"
#include "ui/skin/ResourceImages.h"

namespace veradex {

namespace {

// Buttons swap their looks on every pointer move (the report window's hover
// images), so each image is decoded once and then shared. GUI thread only,
// like the buttons. The cache is never destroyed: bitmaps must not outlive
// the toolkit in static destructors.
wxBitmap CachedBitmap(int id) {
  static auto* cache = new std::map<int, wxBitmap>;
  auto found = cache->find(id);
  if (found != cache->end()) return found->second;
  wxBitmap bitmap = ResourceImages::LoadBitmap(id);
  cache->emplace(id, bitmap);
  return bitmap;
}

}  // namespace

SkinBitmapButton::SkinBitmapButton(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                                   const wxSize& size) {
  Create(parent, id, label, pos, size);
}

bool SkinBitmapButton::Create(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                              const wxSize& size) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  if (!wxControl::Create(parent, id, pos, size, wxBORDER_NONE | wxWANTS_CHARS, wxDefaultValidator,
                         wxS("skinBitmapButton")))
    return false;
  SetLabel(label);
  AccessibleInfo::Describe(this, AccessibleInfo::Role::kPushButton, label);
  if (size != wxDefaultSize) SetInitialSize(size);
  Bind(wxEVT_PAINT, &SkinBitmapButton::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &SkinBitmapButton::OnLeftDown, this);
  Bind(wxEVT_LEFT_DCLICK, &SkinBitmapButton::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &SkinBitmapButton::OnLeftUp, this);
  Bind(wxEVT_MOTION, &SkinBitmapButton::OnMotion, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &SkinBitmapButton::OnCaptureLost, this);
  Bind(wxEVT_KEY_DOWN, &SkinBitmapButton::OnKeyDown, this);
  Bind(wxEVT_KEY_UP, &SkinBitmapButton::OnKeyUp, this);
  Bind(wxEVT_SET_FOCUS, &SkinBitmapButton::OnFocus, this);
  Bind(wxEVT_KILL_FOCUS, &SkinBitmapButton::OnFocus, this);
  return true;
}

bool SkinBitmapButton::LoadBitmaps(int up, int down, int focus, int disabled) {
  const int ids[4] = {up, down, focus, disabled};
  for (int look = 0; look < 4; ++look) {
    ids_[look] = ids[look];
    bitmaps_[look] = ids[look] != 0 ? CachedBitmap(ids[look]) : wxBitmap();
  }
  Refresh(false);
  return bitmaps_[kLookUp].IsOk();
}

void SkinBitmapButton::SetLook(int up, int down, int focus, int disabled) {
  if (ids_[kLookUp] == up && ids_[kLookDown] == down && ids_[kLookFocus] == focus && ids_[kLookDisabled] == disabled)
    return;
  LoadBitmaps(up, down, focus, disabled);
}

void SkinBitmapButton::SetBitmaps(const wxBitmap& up, const wxBitmap& down, const wxBitmap& focus,
                                  const wxBitmap& disabled) {
  bitmaps_[kLookUp] = up;
  bitmaps_[kLookDown] = down;
  bitmaps_[kLookFocus] = focus;
  bitmaps_[kLookDisabled] = disabled;
  for (int& id : ids_) id = 0;
  Refresh(false);
}

SkinBitmapButton::Look SkinBitmapButton::ChooseLook(bool pressed, bool focused, bool disabled, bool haveDown,
                                                    bool haveFocus, bool haveDisabled) {
  if (pressed && haveDown) return kLookDown;
  if (focused && haveFocus) return kLookFocus;
  if (disabled && haveDisabled) return kLookDisabled;
  return kLookUp;
}

SkinBitmapButton::Look SkinBitmapButton::CurrentLook() const {
  return ChooseLook(IsPressed(), HasFocus(), !IsEnabled(), bitmaps_[kLookDown].IsOk(), bitmaps_[kLookFocus].IsOk(),
                    bitmaps_[kLookDisabled].IsOk());
}

void SkinBitmapButton::Click() {
  wxCommandEvent event(wxEVT_BUTTON, GetId());
  event.SetEventObject(this);
  ProcessWindowEvent(event);
}

bool SkinBitmapButton::Enable(bool enable) {
  if (!wxControl::Enable(enable)) return false;
  if (!enable) Release();
  Refresh(false);
  return true;
}

wxSize SkinBitmapButton::DoGetBestSize() const {
  if (bitmaps_[kLookUp].IsOk()) return bitmaps_[kLookUp].GetSize();
  wxClientDC dc(const_cast<SkinBitmapButton*>(this));
  dc.SetFont(GetFont());
  const wxSize text = dc.GetTextExtent(GetLabel());
  return wxSize(text.GetWidth() + 16, text.GetHeight() + 10);
}

void SkinBitmapButton::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  const wxSize size = GetClientSize();
  const wxBitmap& bitmap = bitmaps_[CurrentLook()];
  if (bitmap.IsOk()) {
    // Unscaled at the top-left; whatever the bitmap does not cover keeps the
    // parent's colour.
    dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
    if (bitmap.GetWidth() < size.GetWidth() || bitmap.GetHeight() < size.GetHeight()) dc.Clear();
    dc.DrawBitmap(bitmap, 0, 0, false);
    if (HasFocus()) DrawFocusRing(dc, size);
    return;
  }
  // No artwork: a plain button with the label.
  dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
  dc.Clear();
  int flags = 0;
  if (IsPressed()) flags |= wxCONTROL_PRESSED;
  if (HasFocus()) flags |= wxCONTROL_FOCUSED;
  if (!IsEnabled()) flags |= wxCONTROL_DISABLED;
  const wxRect rect(size);
  wxRendererNative::Get().DrawPushButton(this, dc, rect, flags);
  dc.SetFont(GetFont());
  dc.SetTextForeground(IsEnabled() ? wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT)
                                   : wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
  dc.DrawLabel(GetLabel(), rect, wxALIGN_CENTRE);
}

void SkinBitmapButton::DrawFocusRing(wxDC& dc, const wxSize& size) {
  // A white line with a dotted dark one over it, one pixel inside the edge:
  // seen on light and dark artwork alike.
  if (size.GetWidth() < 6 || size.GetHeight() < 6) return;
  const wxRect ring(1, 1, size.GetWidth() - 2, size.GetHeight() - 2);
  dc.SetBrush(*wxTRANSPARENT_BRUSH);
  dc.SetPen(wxPen(*wxWHITE, 1));
  dc.DrawRectangle(ring);
  dc.SetPen(wxPen(wxColour(0x10, 0x10, 0x10), 1, wxPENSTYLE_DOT));
  dc.DrawRectangle(ring);
}

void SkinBitmapButton::OnLeftDown(wxMouseEvent&) {
  if (!IsEnabled()) return;
  SetFocus();
  pressed_ = true;
  pointerInside_ = true;
  if (!HasCapture()) CaptureMouse();
  Refresh(false);
}

void SkinBitmapButton::OnMotion(wxMouseEvent& event) {
  if (!pressed_ || keyPressed_) return;
  const bool inside = wxRect(GetClientSize()).Contains(event.GetPosition());
  if (inside != pointerInside_) {
    pointerInside_ = inside;
    Refresh(false);
  }
}

void SkinBitmapButton::OnLeftUp(wxMouseEvent& event) {
  if (!pressed_ || keyPressed_) return;
  const bool inside = wxRect(GetClientSize()).Contains(event.GetPosition());
  Release();
  if (inside) Click();
}

void SkinBitmapButton::OnCaptureLost(wxMouseCaptureLostEvent&) {
  pressed_ = false;
  pointerInside_ = false;
  Refresh(false);
}

void SkinBitmapButton::Release() {
  pressed_ = false;
  pointerInside_ = false;
  keyPressed_ = false;
  if (HasCapture()) ReleaseMouse();
  Refresh(false);
}

void SkinBitmapButton::OnKeyDown(wxKeyEvent& event) {
  if (event.GetKeyCode() == WXK_SPACE && IsEnabled()) {
    if (!pressed_) {
      pressed_ = true;
      pointerInside_ = true;
      keyPressed_ = true;
      Refresh(false);
    }
    return;
  }
  if ((event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER) && IsEnabled()) {
    Click();
    return;
  }
  if (event.GetKeyCode() == WXK_TAB) {
    Navigate(event.ShiftDown() ? wxNavigationKeyEvent::IsBackward : wxNavigationKeyEvent::IsForward);
    return;
  }
  event.Skip();
}

void SkinBitmapButton::OnKeyUp(wxKeyEvent& event) {
  if (event.GetKeyCode() == WXK_SPACE && keyPressed_) {
    Release();
    Click();
    return;
  }
  event.Skip();
}

void SkinBitmapButton::OnFocus(wxFocusEvent& event) {
  Refresh(false);
  event.Skip();
}

}  // namespace veradex
