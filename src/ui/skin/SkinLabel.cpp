#include "ui/skin/SkinLabel.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/stattext.h>

#include "ui/skin/AccessibleInfo.h"
#include "ui/skin/SkinDialog.h"

namespace veradex {

namespace {

// Splits at "\r\n", "\n" and lone "\r".
std::vector<wxString> SplitParagraphs(const wxString& text) {
  std::vector<wxString> paragraphs;
  wxString current;
  for (size_t i = 0; i < text.length(); ++i) {
    const wxUniChar c = text[i];
    if (c == '\r' || c == '\n') {
      paragraphs.push_back(current);
      current.clear();
      if (c == '\r' && i + 1 < text.length() && text[i + 1] == '\n') ++i;
    } else {
      current += c;
    }
  }
  paragraphs.push_back(current);
  return paragraphs;
}

int TextWidth(const wxDC& dc, const wxString& text) { return text.empty() ? 0 : dc.GetTextExtent(text).GetWidth(); }

}  // namespace

SkinLabel::SkinLabel(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos, const wxSize& size,
                     long style, Background background) {
  Create(parent, id, label, pos, size, style, background);
}

bool SkinLabel::Create(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos, const wxSize& size,
                       long style, Background background) {
  background_ = background;
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  if (!wxControl::Create(parent, id, pos, size, style | wxBORDER_NONE, wxDefaultValidator, wxS("skinLabel")))
    return false;
  wxControl::SetLabel(label);
  AccessibleInfo::Describe(this, AccessibleInfo::Role::kLabel, label);
  Bind(wxEVT_PAINT, &SkinLabel::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &SkinLabel::OnMouseDown, this);
  Bind(wxEVT_LEFT_DCLICK, &SkinLabel::OnMouseDown, this);
  return true;
}

void SkinLabel::SetLabel(const wxString& label) {
  if (label == GetLabel()) return;
  wxControl::SetLabel(label);
  AccessibleInfo::SetName(this, label);
  Refresh(false);
}

void SkinLabel::SetBackgroundKind(Background background) {
  background_ = background;
  Refresh(false);
}

wxSize SkinLabel::DoGetBestSize() const {
  wxClientDC dc(const_cast<SkinLabel*>(this));
  dc.SetFont(GetFont());
  int width = 0;
  int lines = 0;
  for (const wxString& line : SplitParagraphs(GetLabel())) {
    width = std::max(width, TextWidth(dc, line));
    ++lines;
  }
  return wxSize(width + 2, lines * dc.GetCharHeight());
}

std::vector<wxString> SkinLabel::WrapLines(const wxString& text, const wxDC& dc, int width, bool wrap) {
  std::vector<wxString> lines;
  for (const wxString& paragraph : SplitParagraphs(text)) {
    if (!wrap || width <= 0 || TextWidth(dc, paragraph) <= width) {
      lines.push_back(paragraph);
      continue;
    }
    // Greedy: take words while they fit; a word wider than a whole line is
    // broken between characters.
    wxString line;
    size_t i = 0;
    while (i < paragraph.length()) {
      size_t wordEnd = i;
      while (wordEnd < paragraph.length() && paragraph[wordEnd] != ' ') ++wordEnd;
      size_t next = wordEnd;
      while (next < paragraph.length() && paragraph[next] == ' ') ++next;
      const wxString word = paragraph.Mid(i, wordEnd - i);
      const wxString candidate = line.empty() ? word : line + word;
      if (TextWidth(dc, candidate) <= width) {
        line = candidate + paragraph.Mid(wordEnd, next - wordEnd);
        i = next;
        continue;
      }
      if (!line.empty()) {
        lines.push_back(line.Strip(wxString::trailing));
        line.clear();
        continue;
      }
      // A single word too wide for the line: cut it between characters.
      size_t fit = 1;
      while (fit < word.length() && TextWidth(dc, word.Left(fit + 1)) <= width) ++fit;
      lines.push_back(word.Left(fit));
      i += fit;
    }
    if (!line.empty()) lines.push_back(line.Strip(wxString::trailing));
  }
  return lines;
}

std::vector<wxString> SkinLabel::GetShownLines() const {
  wxClientDC dc(const_cast<SkinLabel*>(this));
  dc.SetFont(GetFont());
  const bool wrap = GetClientSize().GetHeight() >= 2 * dc.GetCharHeight() && !HasFlag(wxST_ELLIPSIZE_END);
  return WrapLines(GetLabel(), dc, GetClientSize().GetWidth(), wrap);
}

void SkinLabel::DrawBackground(wxDC& dc) {
  if (background_ == kSkinShowsThrough) {
    auto* dialog = dynamic_cast<SkinDialog*>(GetParent());
    if (dialog != nullptr && dialog->GetCaptionBrushBitmap().IsOk()) {
      // The part of the skin that lies under the label.
      const wxPoint offset = GetPosition();
      dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
      dc.Clear();
      dc.DrawBitmap(dialog->GetCaptionBrushBitmap(), -offset.x, -offset.y, false);
      return;
    }
    dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
    dc.Clear();
    return;
  }
  dc.SetBackground(background_ == kWhite ? *wxWHITE_BRUSH : wxBrush(GetParent()->GetBackgroundColour()));
  dc.Clear();
}

void SkinLabel::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  DrawBackground(dc);
  dc.SetFont(GetFont());
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  dc.SetTextForeground(IsEnabled() ? GetForegroundColour() : wxColour(128, 128, 128));
  const wxSize size = GetClientSize();
  const int lineHeight = dc.GetCharHeight();
  dc.SetClippingRegion(wxPoint(0, 0), size);
  int y = 0;
  for (const wxString& line : GetShownLines()) {
    if (y >= size.GetHeight()) break;
    const int width = TextWidth(dc, line);
    int x = 0;
    if (HasFlag(wxALIGN_CENTRE_HORIZONTAL)) {
      x = (size.GetWidth() - width) / 2;
    } else if (HasFlag(wxALIGN_RIGHT)) {
      x = size.GetWidth() - width;
    }
    dc.DrawText(line, x, y);
    y += lineHeight;
  }
  dc.DestroyClippingRegion();
}

void SkinLabel::OnMouseDown(wxMouseEvent& event) {
  auto* dialog = dynamic_cast<SkinDialog*>(GetParent());
  if (dialog == nullptr) {
    event.Skip();
    return;
  }
  dialog->BeginDrag(ClientToScreen(event.GetPosition()));
}

}  // namespace veradex
