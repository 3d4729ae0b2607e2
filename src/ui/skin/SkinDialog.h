#pragma once

#include <functional>

#include <wx/bitmap.h>
#include <wx/dialog.h>
#include <wx/region.h>

class wxStaticBitmap;
class wxTextCtrl;

namespace veradex {

class SkinBitmapButton;
class SkinLabel;

// Base of every visible dialog of the program: a frameless pop-up whose
// outline is cut out of its skin bitmap by the pure-green key, whose surface
// is that bitmap (drawn unscaled at the top-left), and which can be dragged
// from any point of its own surface, labels included. Buttons, edits and the
// other interactive controls keep their own clicks.
//
// Use: construct with the skin and caption-brush bitmap ids (both loaded at
// once; a missing skin leaves the dialog rectangular on the default
// background), then Create(), then add the controls, usually at dialog-unit
// rectangles (Du()). Keys: override OnSkinKey() (called for every key press
// in the dialog before the controls see it; return true to consume it), or
// Bind(wxEVT_CHAR_HOOK, ...) yourself. The shape is applied at Create() and
// again whenever the dialog is shown.
class SkinDialog : public wxDialog {
 public:
  static constexpr int kCaptionId = 1009;
  // Size used when the skin bitmap is missing and Create() is given none.
  static constexpr int kFallbackWidth = 400;
  static constexpr int kFallbackHeight = 300;

  // captionBrushBitmapId 0: no caption brush (the caption, if any, shows the
  // skin itself).
  SkinDialog(int skinBitmapId, int captionBrushBitmapId);
  ~SkinDialog() override;

  // Creates the window: no border, no title bar, shaped, as big as the skin
  // (or size when there is no skin), centred on the parent or the screen.
  bool Create(wxWindow* parent, wxWindowID id, const wxString& title, const wxSize& size = wxDefaultSize);

  // Replaces the skin (and its region) before Create(); for skins that do
  // not come from the resources, tests for example.
  void SetSkinImage(const wxImage& image);

  int GetSkinBitmapId() const { return skinBitmapId_; }
  bool HasSkin() const { return skin_.IsOk(); }
  const wxBitmap& GetSkinBitmap() const { return skin_; }
  // What the caption shows through: the caption-brush bitmap, or the skin.
  const wxBitmap& GetCaptionBrushBitmap() const { return captionBrush_.IsOk() ? captionBrush_ : skin_; }
  // The region cut from the skin; invalid (IsOk() false) without a skin.
  const wxRegion& GetSkinRegion() const { return region_; }
  // Gives the window its shape again; false when there is no region.
  bool ApplySkinShape();

  // Pixels of a dialog-unit rectangle.
  static wxRect Du(int x, int y, int w, int h);

  // The caption static 1009: white text, centred, at client (0, 8), width
  // client width - 20, height 20, the skin showing through.
  SkinLabel* CreateCaption(const wxString& text);
  // A label static drawn on white (transparent text on the white brush).
  SkinLabel* CreateLabel(wxWindowID id, const wxString& text, const wxRect& pixels, long align = wxALIGN_LEFT);
  // A bitmap button with its four images (resource ids, 0 = none).
  SkinBitmapButton* CreateButton(wxWindowID id, const wxString& label, const wxRect& pixels, int up, int down,
                                 int focus, int disabled);

  // A single-line edit (style e.g. wxTE_PASSWORD) at a pixel rectangle.
  wxTextCtrl* CreateEdit(wxWindowID id, const wxRect& pixels, long style = 0);
  // A picture static, created hidden: it takes the size of its bitmap (the
  // rectangle's size when the bitmap is missing, showing nothing).
  wxStaticBitmap* CreatePicture(wxWindowID id, int bitmapId, const wxRect& pixels);

  // Starts moving the dialog with the pointer (held left button); used by
  // the dialog's own surface and by its labels.
  void BeginDrag(const wxPoint& screenPoint);
  bool IsDragging() const { return dragging_; }

  // A button handler that runs action.
  template <typename Action>
  static auto Command(Action action) {
    return [action](wxCommandEvent&) { action(); };
  }

 protected:
  // Every key press in the dialog comes here first; return true to consume
  // it. The default consumes nothing (standard dialog keys apply).
  virtual bool OnSkinKey(wxKeyEvent& event);
  // The keys of a dialog that must be answered: Enter runs onEnter unless a
  // button has the focus (a focused button takes Enter itself), and Escape
  // never closes it. True when the key was taken.
  bool AnswerKey(wxKeyEvent& event, const std::function<void()>& onEnter);

 private:
  void OnPaint(wxPaintEvent& event);
  void OnEraseBackground(wxEraseEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnMotion(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnShow(wxShowEvent& event);
  void OnCharHook(wxKeyEvent& event);
  void EndDrag();

  int skinBitmapId_;
  int captionBrushBitmapId_;
  wxBitmap skin_;
  wxBitmap captionBrush_;
  wxRegion region_;
  bool dragging_ = false;
  wxPoint dragOffset_;
};

}  // namespace veradex
