#include "ui/report/MailPreviewStrip.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>

#include "platform/Cp949.h"
#include "report/MailSummary.h"
#include "report/ReportTexts.h"

namespace veradex {

namespace {

// The red of the list's mark for a file that is no mail.
const wxColour kNoticeColour(200, 30, 30);
constexpr int kLabelGap = 10;  // between the widest label and the values

wxString Text(ReportTexts::Text text) { return Cp949::ToWx(ReportTexts::Get(text)); }

int WidthOf(const wxDC& dc, const wxString& text) { return text.empty() ? 0 : dc.GetTextExtent(text).GetWidth(); }

}  // namespace

MailPreviewStrip::MailPreviewStrip(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Create(parent, id, pos, size, wxBORDER_NONE, wxDefaultValidator, wxS("mailPreview"));
  Bind(wxEVT_PAINT, &MailPreviewStrip::OnPaint, this);
  Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
    Refresh(false);
    event.Skip();
  });
}

void MailPreviewStrip::ShowSummary(const MailSummary* summary) {
  lines_.clear();
  const wxColour colour = GetForegroundColour();
  if (summary == nullptr) {
    // nothing to show
  } else if (summary->kind == MailSummary::Kind::kNotMail) {
    lines_.push_back({wxString(), Text(ReportTexts::kNotMail), kNoticeColour});
  } else if (summary->kind == MailSummary::Kind::kUnreadable) {
    lines_.push_back({wxString(), Text(ReportTexts::kUnreadable), kNoticeColour});
  } else {
    const std::pair<ReportTexts::Text, std::string> fields[] = {
        {ReportTexts::kSubjectLabel, summary->subject},
        {ReportTexts::kFromLabel, summary->from},
        {ReportTexts::kDateLabel, summary->date},
        {ReportTexts::kFirstHopLabel, summary->FirstHop()},
    };
    for (const auto& [label, value] : fields)
      lines_.push_back({Text(label), value.empty() ? Text(ReportTexts::kMissing) : Cp949::ToWx(value), colour});
  }
  Refresh(false);
}

wxString MailPreviewStrip::FitToWidth(const wxString& text, const wxDC& dc, int width) {
  if (WidthOf(dc, text) <= width) return text;
  const wxString ellipsis = wxString::FromUTF8("\xE2\x80\xA6");
  // The texts come from code page 949, whose characters all lie in the basic
  // plane and none of which combines with the next: every index of the
  // string lies between two whole characters. The widths are the font's own
  // (Korean syllables are far wider than Latin letters), found by halving.
  std::size_t fits = 0, tooLong = text.length();
  while (tooLong - fits > 1) {
    const std::size_t middle = (fits + tooLong) / 2;
    if (WidthOf(dc, text.Left(middle) + ellipsis) <= width)
      fits = middle;
    else
      tooLong = middle;
  }
  return text.Left(fits) + ellipsis;
}

std::vector<MailPreviewStrip::Line> MailPreviewStrip::LinesIn(const wxDC& dc) const {
  int labelWidth = 0;
  for (const Line& line : lines_) labelWidth = std::max(labelWidth, WidthOf(dc, line.label));
  const int width = GetClientSize().GetWidth();
  std::vector<Line> shown;
  for (const Line& line : lines_) {
    const int room = line.label.empty() ? width : width - labelWidth - kLabelGap;
    shown.push_back({line.label, FitToWidth(line.text, dc, room), line.colour});
  }
  return shown;
}

std::vector<MailPreviewStrip::Line> MailPreviewStrip::GetShownLines() const {
  wxClientDC dc(const_cast<MailPreviewStrip*>(this));
  dc.SetFont(GetFont());
  return LinesIn(dc);
}

void MailPreviewStrip::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  // White like the labels of the view, which lie on the same area.
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  dc.SetFont(GetFont());
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  int labelWidth = 0;
  for (const Line& line : lines_) labelWidth = std::max(labelWidth, WidthOf(dc, line.label));
  const int lineHeight = dc.GetCharHeight();
  int y = 0;
  for (const Line& line : LinesIn(dc)) {
    if (y + lineHeight > GetClientSize().GetHeight()) break;
    dc.SetTextForeground(line.colour);
    if (!line.label.empty()) {
      dc.DrawText(line.label, 0, y);
      dc.DrawText(line.text, labelWidth + kLabelGap, y);
    } else {
      dc.DrawText(line.text, 0, y);
    }
    y += lineHeight;
  }
}

}  // namespace veradex
