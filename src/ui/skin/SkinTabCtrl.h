#pragma once

#include <vector>

#include <wx/bookctrl.h>
#include <wx/control.h>
#include <wx/dc.h>
#include <wx/region.h>

namespace veradex {

// A drawn tab strip: flat tabs in the colours of a background colour, the
// selected tab lighter and joined to the page frame. It draws only the tab
// headers and the page frame; the owner shows its pages itself in
// GetDisplayRect(). Clicking a tab (or the arrow keys) selects it and sends
// wxEVT_NOTEBOOK_PAGE_CHANGED (a wxBookCtrlEvent with the control's id, the new
// and the old selection); SetCurSel() sends nothing.
class SkinTabCtrl : public wxControl {
 public:
  // Look flags, shared by every tab control of the process.
  enum LookFlag : unsigned long {
    kLookFlat = 0x01,
    kLookTinted = 0x02,
    kLookHighlightSelected = 0x04,
    kLookGradient = 0x08,
    kLookRaisedBack = 0x10,
  };

  // What one drawing call works on (rectangles right/bottom exclusive).
  struct DrawItemRecord {
    wxDC* dc;
    wxRect rect;
    int item;
    bool selected;
  };

  SkinTabCtrl() = default;
  SkinTabCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);
  bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);

  // Tabs (text only). InsertItem returns the new tab's index or -1.
  int InsertItem(int index, const wxString& text);
  int GetItemCount() const { return static_cast<int>(texts_.size()); }
  wxString GetItemText(int index) const;
  int GetCurSel() const { return selection_; }
  // Selects a tab without an event; returns the previous selection or -1.
  int SetCurSel(int index);
  // Header rectangle of a tab (empty when there is none such).
  wxRect GetItemRect(int index) const;
  // The page area inside the frame.
  wxRect GetDisplayRect() const;
  // The tab under a client point, or -1.
  int HitTest(const wxPoint& point) const;

  // The background colour around the headers and base of the tab colours
  // (0x00BBGGRR; SkinColors::kNoColour for the system button face).
  void SetBkgndColor(unsigned long colour);
  unsigned long GetBkgndColor() const { return background_; }
  // 0: system look, 1: system look (owner-drawn style only), 2: the control
  // draws everything in its own look. Other values are refused (false).
  bool EnableDraw(int mode);
  int GetDrawMode() const { return drawMode_; }
  // The process-wide look flags become flags when enable is non-zero, else 0.
  static void SetTabLook(unsigned long enable, unsigned long flags);
  static unsigned long GetTabLook();

  // Draws the whole control (background, frame, tabs) into dc; the paint
  // handler uses it, tests draw into a bitmap.
  void Render(wxDC& dc);
  // The control's area less the shown sibling windows lying over it.
  wxRegion UncoveredRegion() const;
  // text fitted to width pixels on one line: unchanged when it fits, else
  // shortened with a trailing ellipsis.
  static wxString FitText(const wxDC& dc, const wxString& text, int width);

  bool AcceptsFocus() const override { return IsShown() && IsEnabled(); }

 protected:
  virtual void DrawItem(const DrawItemRecord& record);
  virtual void DrawMainBorder(const DrawItemRecord& record);
  virtual void DrawItemBorder(const DrawItemRecord& record);
  virtual unsigned long GetTabColor(bool selected) const;
  virtual unsigned long GetTabTextColor(bool selected) const;

  wxSize DoGetBestSize() const override;

 private:
  unsigned long Base() const;
  void EraseAroundTabs(wxDC& dc);
  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void OnSize(wxSizeEvent& event);
  void ChangeSelection(int index);
  int TabHeight() const;

  std::vector<wxString> texts_;
  int selection_ = -1;
  unsigned long background_ = 0xFFFFFFFFUL;
  int drawMode_ = 0;
};

}  // namespace veradex
