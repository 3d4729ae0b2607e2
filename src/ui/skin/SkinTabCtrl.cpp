#include "ui/skin/SkinTabCtrl.h"

#include <atomic>

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/notebook.h>
#include <wx/settings.h>

#include "ui/skin/SkinColors.h"

namespace veradex {

namespace {

std::atomic<unsigned long> tabLook{0};

constexpr int kFirstTabX = 2;
constexpr int kTabTop = 2;
constexpr int kTextPadding = 6;

wxRect FromEdges(int left, int top, int right, int bottom) { return wxRect(left, top, right - left, bottom - top); }
int Right(const wxRect& rect) { return rect.x + rect.width; }
int Bottom(const wxRect& rect) { return rect.y + rect.height; }

wxPen PenOf(unsigned long colour) { return wxPen(SkinColors::ToWx(colour)); }

}  // namespace

SkinTabCtrl::SkinTabCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size) {
  Create(parent, id, pos, size);
}

bool SkinTabCtrl::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  if (!wxControl::Create(parent, id, pos, size, wxBORDER_NONE | wxWANTS_CHARS, wxDefaultValidator, wxS("skinTabCtrl")))
    return false;
  Bind(wxEVT_PAINT, &SkinTabCtrl::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &SkinTabCtrl::OnLeftDown, this);
  Bind(wxEVT_KEY_DOWN, &SkinTabCtrl::OnKeyDown, this);
  Bind(wxEVT_SIZE, &SkinTabCtrl::OnSize, this);
  return true;
}

int SkinTabCtrl::InsertItem(int index, const wxString& text) {
  if (index < 0) return -1;
  if (index > GetItemCount()) index = GetItemCount();
  texts_.insert(texts_.begin() + index, text);
  if (selection_ < 0) {
    selection_ = 0;
  } else if (index <= selection_) {
    ++selection_;
  }
  Refresh();
  return index;
}

wxString SkinTabCtrl::GetItemText(int index) const {
  return index >= 0 && index < GetItemCount() ? texts_[index] : wxString();
}

int SkinTabCtrl::SetCurSel(int index) {
  if (index < 0 || index >= GetItemCount()) return -1;
  const int previous = selection_;
  selection_ = index;
  Refresh();
  return previous;
}

int SkinTabCtrl::TabHeight() const {
  wxClientDC dc(const_cast<SkinTabCtrl*>(this));
  dc.SetFont(GetFont());
  return dc.GetCharHeight() + 7;
}

wxRect SkinTabCtrl::GetItemRect(int index) const {
  if (index < 0 || index >= GetItemCount()) return wxRect();
  wxClientDC dc(const_cast<SkinTabCtrl*>(this));
  dc.SetFont(GetFont());
  int x = kFirstTabX;
  for (int i = 0;; ++i) {
    const int width = dc.GetTextExtent(texts_[i]).GetWidth() + 2 * kTextPadding;
    if (i == index) return wxRect(x, kTabTop, width, TabHeight());
    x += width;
  }
}

wxRect SkinTabCtrl::GetDisplayRect() const {
  const wxSize client = GetClientSize();
  const int top = kTabTop + TabHeight() + 2;
  return FromEdges(4, top, client.GetWidth() - 4, client.GetHeight() - 4);
}

int SkinTabCtrl::HitTest(const wxPoint& point) const {
  for (int i = 0; i < GetItemCount(); ++i) {
    if (GetItemRect(i).Contains(point)) return i;
  }
  return -1;
}

void SkinTabCtrl::SetBkgndColor(unsigned long colour) {
  background_ = colour;
  if (GetHandle() != nullptr) Refresh(true);
}

bool SkinTabCtrl::EnableDraw(int mode) {
  if (mode < 0 || mode > 2) return false;
  drawMode_ = mode;
  if (GetHandle() != nullptr) Refresh();
  return true;
}

void SkinTabCtrl::SetTabLook(unsigned long enable, unsigned long flags) { tabLook.store(enable != 0 ? flags : 0); }

unsigned long SkinTabCtrl::GetTabLook() { return tabLook.load(); }

unsigned long SkinTabCtrl::Base() const {
  // The own look uses the background colour; the system look and "none"
  // use the button face.
  if (drawMode_ != 2 || background_ == SkinColors::kNoColour)
    return SkinColors::FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
  return background_ & 0xFFFFFF;
}

unsigned long SkinTabCtrl::GetTabColor(bool selected) const {
  return selected ? SkinColors::LighterColor(Base(), 1.4) : SkinColors::DarkerColor(Base(), 0.9);
}

unsigned long SkinTabCtrl::GetTabTextColor(bool selected) const {
  return selected ? SkinColors::FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT))
                  : SkinColors::DarkerColor(Base(), 0.5);
}

wxString SkinTabCtrl::FitText(const wxDC& dc, const wxString& text, int width) {
  if (dc.GetTextExtent(text).GetWidth() <= width) return text;
  return wxControl::Ellipsize(text, dc, wxELLIPSIZE_END, width, wxELLIPSIZE_FLAGS_NONE);
}

void SkinTabCtrl::EraseAroundTabs(wxDC& dc) {
  const wxSize client = GetClientSize();
  const wxBrush brush(SkinColors::ToWx(Base()));
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(brush);
  dc.DrawRectangle(0, 0, client.GetWidth(), client.GetHeight());
  if (GetItemCount() == 0) return;
  wxRect tabs;
  for (int i = GetItemCount() - 1; i >= 0; --i) tabs.Union(GetItemRect(i));
  const int h = tabs.GetHeight();
  const int originalTop = tabs.GetTop();
  tabs.Inflate(2, 3);
  dc.DrawRectangle(0, 0, client.GetWidth(), originalTop);
  dc.DrawRectangle(0, 0, 2, h + 2);
  const int from = tabs.GetWidth() - 2;
  dc.DrawRectangle(from, 0, client.GetWidth() - from, h + 2);
}

void SkinTabCtrl::Render(wxDC& dc) {
  EraseAroundTabs(dc);
  dc.SetFont(GetFont());
  DrawItemRecord record{&dc, wxRect(), -1, false};
  const wxSize client = GetClientSize();
  record.rect = FromEdges(0, GetDisplayRect().GetTop() - 2, client.GetWidth(), client.GetHeight());
  DrawMainBorder(record);
  for (int i = GetItemCount() - 1; i >= 0; --i) {
    if (i == selection_) continue;
    const wxRect header = GetItemRect(i);
    record.rect = FromEdges(header.GetLeft(), header.GetTop(), Right(header), Bottom(header) - 2);
    record.item = i;
    record.selected = false;
    DrawItem(record);
    DrawItemBorder(record);
  }
  if (selection_ >= 0 && selection_ < GetItemCount()) {
    const wxRect header = GetItemRect(selection_);
    record.rect = FromEdges(header.GetLeft(), header.GetTop() - 2, Right(header), Bottom(header) + 2);
    record.item = selection_;
    record.selected = true;
    DrawItem(record);
    DrawItemBorder(record);
  }
}

void SkinTabCtrl::DrawMainBorder(const DrawItemRecord& record) {
  wxDC& dc = *record.dc;
  const unsigned long tab = GetTabColor(false);
  const wxRect& r = record.rect;
  // A 3-D frame: top and left light, right and bottom dark.
  dc.SetPen(PenOf(SkinColors::LighterColor(tab, 1.5)));
  dc.DrawLine(r.GetLeft(), r.GetTop(), Right(r) - 1, r.GetTop());
  dc.DrawLine(r.GetLeft(), r.GetTop(), r.GetLeft(), Bottom(r) - 1);
  dc.SetPen(PenOf(SkinColors::DarkerColor(tab, 0.75)));
  dc.DrawLine(Right(r) - 1, r.GetTop(), Right(r) - 1, Bottom(r));
  dc.DrawLine(r.GetLeft(), Bottom(r) - 1, Right(r), Bottom(r) - 1);
}

void SkinTabCtrl::DrawItem(const DrawItemRecord& record) {
  wxDC& dc = *record.dc;
  const bool selected = record.item == selection_;
  const wxRect& r = record.rect;
  const wxRect fill = FromEdges(r.GetLeft(), r.GetTop(), Right(r), selected ? Bottom(r) - 1 : Bottom(r) + 2);
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(SkinColors::ToWx(GetTabColor(selected))));
  dc.DrawRectangle(fill);

  wxRect text = FromEdges(r.GetLeft() + 3, r.GetTop() + 3 + (selected ? 1 : 0), Right(r) - 3, Bottom(r));
  const wxString fitted = FitText(dc, GetItemText(record.item), text.GetWidth());
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  dc.SetTextForeground(SkinColors::ToWx(GetTabTextColor(selected)));
  const int width = dc.GetTextExtent(fitted).GetWidth();
  dc.DrawText(fitted, text.GetLeft() + (text.GetWidth() - width) / 2, text.GetTop());
}

void SkinTabCtrl::DrawItemBorder(const DrawItemRecord& record) {
  wxDC& dc = *record.dc;
  const bool selected = record.selected;
  const unsigned long tab = GetTabColor(selected);
  const wxRect& r = record.rect;
  const int bottom = selected ? Bottom(r) - 1 : Bottom(r) + 1;
  dc.SetPen(PenOf(SkinColors::LighterColor(tab, 1.5)));
  dc.DrawLine(r.GetLeft(), r.GetTop(), r.GetLeft(), bottom);
  dc.DrawLine(r.GetLeft(), r.GetTop(), Right(r), r.GetTop());
  dc.SetPen(PenOf(SkinColors::DarkerColor(tab, 0.75)));
  dc.DrawLine(Right(r) - 1, r.GetTop(), Right(r) - 1, bottom);
}

wxSize SkinTabCtrl::DoGetBestSize() const { return wxSize(200, TabHeight() + 40); }

wxRegion SkinTabCtrl::UncoveredRegion() const {
  wxRegion region(GetClientRect());
  if (GetParent() == nullptr) return region;
  for (const wxWindow* sibling : GetParent()->GetChildren()) {
    if (sibling == this || !sibling->IsShown() || sibling->IsTopLevel()) continue;
    wxRect covered = sibling->GetRect();
    covered.Offset(-GetPosition());
    if (covered.Intersects(GetClientRect())) region.Subtract(covered);
  }
  return region;
}

void SkinTabCtrl::OnPaint(wxPaintEvent&) {
  // The pages lie over the tab control's frame. Not every platform keeps a
  // window's painting off the siblings that overlap it (Windows clips only
  // children), so the control paints around what covers it.
  wxPaintDC target(this);
  target.SetDeviceClippingRegion(UncoveredRegion());
  wxBufferedDC dc(&target, GetClientSize());
  Render(dc);
}

void SkinTabCtrl::ChangeSelection(int index) {
  if (index < 0 || index >= GetItemCount() || index == selection_) return;
  const int previous = SetCurSel(index);
  wxBookCtrlEvent event(wxEVT_NOTEBOOK_PAGE_CHANGED, GetId(), index, previous);
  event.SetEventObject(this);
  ProcessWindowEvent(event);
}

void SkinTabCtrl::OnLeftDown(wxMouseEvent& event) {
  SetFocus();
  ChangeSelection(HitTest(event.GetPosition()));
}

void SkinTabCtrl::OnKeyDown(wxKeyEvent& event) {
  switch (event.GetKeyCode()) {
    case WXK_LEFT:
      ChangeSelection(selection_ - 1);
      break;
    case WXK_RIGHT:
      ChangeSelection(selection_ + 1);
      break;
    default:
      event.Skip();
  }
}

void SkinTabCtrl::OnSize(wxSizeEvent& event) {
  Refresh();
  event.Skip();
}

}  // namespace veradex
