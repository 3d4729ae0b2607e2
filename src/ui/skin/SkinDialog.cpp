#include "ui/skin/SkinDialog.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/nonownedwnd.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>

#include "ui/skin/DialogUnits.h"
#include "ui/skin/ResourceImages.h"
#include "ui/skin/SkinBitmapButton.h"
#include "ui/skin/SkinLabel.h"
#include "ui/skin/SkinRegionBuilder.h"

namespace veradex {

SkinDialog::SkinDialog(int skinBitmapId, int captionBrushBitmapId)
    : skinBitmapId_(skinBitmapId), captionBrushBitmapId_(captionBrushBitmapId) {
  if (skinBitmapId_ != 0) SetSkinImage(ResourceImages::LoadImage(skinBitmapId_));
  // A caption brush cut from the skin itself is the skin.
  if (captionBrushBitmapId_ != 0 && captionBrushBitmapId_ != skinBitmapId_)
    captionBrush_ = ResourceImages::LoadBitmap(captionBrushBitmapId_);
}

void SkinDialog::SetSkinImage(const wxImage& image) {
  if (!image.IsOk()) {
    skin_ = wxBitmap();
    region_ = wxRegion();
    return;
  }
  skin_ = wxBitmap(image);
  region_ = SkinRegionBuilder::BuildSkinRegion(image, SkinRegionBuilder::kGreenKey);
}

SkinDialog::~SkinDialog() {
  if (HasCapture()) ReleaseMouse();
}

bool SkinDialog::Create(wxWindow* parent, wxWindowID id, const wxString& title, const wxSize& size) {
  wxSize windowSize = size;
  if (skin_.IsOk()) {
    windowSize = skin_.GetSize();
  } else if (windowSize == wxDefaultSize) {
    windowSize = wxSize(kFallbackWidth, kFallbackHeight);
  }
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  long style = wxBORDER_NONE | wxFRAME_SHAPED;
  if (parent == nullptr) style |= wxDIALOG_NO_PARENT;
  if (!wxDialog::Create(parent, id, title, wxDefaultPosition, windowSize, style)) return false;
  // No border: the window size is the client size. (SetClientSize before the
  // first showing confuses wxGTK's frame-extent guess and leaves 1 x 1.)
  SetFont(wxFont(wxFontInfo(9).FaceName(wxS("Tahoma"))));
  // Fixed layouts: without this a top-level window stretches a single child
  // over its whole client area.
  SetAutoLayout(true);
  Bind(wxEVT_PAINT, &SkinDialog::OnPaint, this);
  Bind(wxEVT_ERASE_BACKGROUND, &SkinDialog::OnEraseBackground, this);
  Bind(wxEVT_LEFT_DOWN, &SkinDialog::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &SkinDialog::OnLeftUp, this);
  Bind(wxEVT_MOTION, &SkinDialog::OnMotion, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &SkinDialog::OnCaptureLost, this);
  Bind(wxEVT_SHOW, &SkinDialog::OnShow, this);
  Bind(wxEVT_CHAR_HOOK, &SkinDialog::OnCharHook, this);
  ApplySkinShape();
  if (parent != nullptr) {
    CentreOnParent();
  } else {
    CentreOnScreen();
  }
  return true;
}

bool SkinDialog::ApplySkinShape() {
  if (!region_.IsOk() || region_.IsEmpty() || GetHandle() == nullptr) return false;
  return SetShape(region_);
}

wxRect SkinDialog::Du(int x, int y, int w, int h) { return DialogUnits::ToPixels(x, y, w, h); }

SkinLabel* SkinDialog::CreateCaption(const wxString& text) {
  SetTitle(text);
  const wxSize client = GetClientSize();
  auto* caption = new SkinLabel(this, kCaptionId, text, wxPoint(0, 8), wxSize(client.GetWidth() - 20, 20),
                                wxALIGN_CENTRE_HORIZONTAL, SkinLabel::kSkinShowsThrough);
  caption->SetForegroundColour(*wxWHITE);
  return caption;
}

SkinLabel* SkinDialog::CreateLabel(wxWindowID id, const wxString& text, const wxRect& pixels, long align) {
  return new SkinLabel(this, id, text, pixels.GetPosition(), pixels.GetSize(), align, SkinLabel::kWhite);
}

SkinBitmapButton* SkinDialog::CreateButton(wxWindowID id, const wxString& label, const wxRect& pixels, int up, int down,
                                           int focus, int disabled) {
  auto* button = new SkinBitmapButton(this, id, label, pixels.GetPosition(), pixels.GetSize());
  button->LoadBitmaps(up, down, focus, disabled);
  return button;
}

wxTextCtrl* SkinDialog::CreateEdit(wxWindowID id, const wxRect& pixels, long style) {
  return new wxTextCtrl(this, id, wxString(), pixels.GetPosition(), pixels.GetSize(), style);
}

wxStaticBitmap* SkinDialog::CreatePicture(wxWindowID id, int bitmapId, const wxRect& pixels) {
  const wxBitmap bitmap = ResourceImages::LoadBitmap(bitmapId);
  const wxSize size = bitmap.IsOk() ? bitmap.GetSize() : pixels.GetSize();
  auto* picture =
      new wxStaticBitmap(this, id, bitmap.IsOk() ? bitmap : wxBitmap(size), pixels.GetPosition(), size, wxBORDER_NONE);
  picture->Hide();
  return picture;
}

void SkinDialog::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  dc.SetBackground(wxBrush(GetBackgroundColour()));
  const wxSize client = GetClientSize();
  if (!skin_.IsOk() || skin_.GetWidth() < client.GetWidth() || skin_.GetHeight() < client.GetHeight()) dc.Clear();
  if (skin_.IsOk()) dc.DrawBitmap(skin_, 0, 0, false);
}

void SkinDialog::OnEraseBackground(wxEraseEvent&) {
  // Everything is painted in OnPaint.
}

void SkinDialog::BeginDrag(const wxPoint& screenPoint) {
  dragOffset_ = screenPoint - GetPosition();
  dragging_ = true;
  if (!HasCapture()) CaptureMouse();
}

void SkinDialog::EndDrag() {
  dragging_ = false;
  if (HasCapture()) ReleaseMouse();
}

void SkinDialog::OnLeftDown(wxMouseEvent& event) { BeginDrag(ClientToScreen(event.GetPosition())); }

void SkinDialog::OnLeftUp(wxMouseEvent& event) {
  if (dragging_) {
    EndDrag();
    return;
  }
  event.Skip();
}

void SkinDialog::OnMotion(wxMouseEvent& event) {
  if (!dragging_) {
    event.Skip();
    return;
  }
  if (!event.LeftIsDown()) {
    EndDrag();
    return;
  }
  Move(ClientToScreen(event.GetPosition()) - dragOffset_);
}

void SkinDialog::OnCaptureLost(wxMouseCaptureLostEvent&) { dragging_ = false; }

void SkinDialog::OnShow(wxShowEvent& event) {
  // A window shown again (or recreated by the platform) needs its shape.
  if (event.IsShown()) ApplySkinShape();
  event.Skip();
}

bool SkinDialog::OnSkinKey(wxKeyEvent&) { return false; }

bool SkinDialog::AnswerKey(wxKeyEvent& event, const std::function<void()>& onEnter) {
  switch (event.GetKeyCode()) {
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
      if (dynamic_cast<SkinBitmapButton*>(FindFocus()) != nullptr) return false;
      onEnter();
      return true;
    case WXK_ESCAPE:
      return true;
    default:
      return false;
  }
}

void SkinDialog::OnCharHook(wxKeyEvent& event) {
  if (!OnSkinKey(event)) event.Skip();
}

}  // namespace veradex
