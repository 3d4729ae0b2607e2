#include "ui/report/AttachmentList.h"

#include <sys/stat.h>

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/msgdlg.h>
#include <wx/renderer.h>

#include "platform/Cp949.h"
#include "platform/LinkTarget.h"
#include "platform/MessageSink.h"
#include "platform/NativePath.h"
#include "report/AttachedMail.h"
#include "report/AttachmentRules.h"
#include "ui/report/ReportWindowTexts.h"
#include "ui/skin/AccessibleInfo.h"
#include "ui/skin/ResourceImages.h"
#include "ui/skin/SkinToolTip.h"

namespace veradex {

namespace {

constexpr int kCheckBoxStripBitmap = 137;
constexpr int kEmptyListIcon = 201;
constexpr int kSizeColumnWidth = 70;

bool StatPath(const wxString& path, struct stat* info) {
#ifdef _WIN32
  struct _stat64 wide {};
  if (::_wstat64(path.wc_str(), &wide) != 0) return false;
  *info = {};
  info->st_mode = wide.st_mode;
  info->st_size = wide.st_size;
  return true;
#else
  const wxCharBuffer native = path.fn_str();
  return native.data() != nullptr && ::stat(native.data(), info) == 0;
#endif
}

// A 16-pixel check box drawn by the platform, for when the skin's strip is missing.
wxBitmap DrawnCheckBox(wxWindow* window, bool checked) {
  wxBitmap bitmap(16, 16);
  wxMemoryDC dc(bitmap);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  wxRendererNative::Get().DrawCheckBox(window, dc, wxRect(1, 1, 14, 14), checked ? int(wxCONTROL_CHECKED) : 0);
  dc.SelectObject(wxNullBitmap);
  return bitmap;
}

// The row mark of a file that is no mail: an exclamation mark in a red disc.
wxBitmap DrawnNotMailMark() {
  wxBitmap bitmap(16, 16);
  wxMemoryDC dc(bitmap);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  dc.SetPen(wxPen(wxColour(200, 30, 30)));
  dc.SetBrush(wxBrush(wxColour(200, 30, 30)));
  dc.DrawCircle(8, 8, 7);
  dc.SetPen(wxPen(*wxWHITE, 2));
  dc.DrawLine(8, 3, 8, 10);
  dc.DrawLine(8, 12, 8, 14);
  dc.SelectObject(wxNullBitmap);
  return bitmap;
}

}  // namespace

AttachmentList::AttachmentList(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxListCtrl(parent, id, pos, size, wxLC_REPORT | wxLC_SINGLE_SEL | wxBORDER_SIMPLE),
      stateImages_(16, 16, true, 3),
      hintFont_(wxFontInfo(wxSize(0, 12)).FaceName(wxString::FromUTF8(ReportWindowTexts::kFontGulim))) {
  if (!hintFont_.IsOk()) hintFont_ = wxFont(wxFontInfo(wxSize(0, 12)));
  EnableCheckBoxes(true);
  SetBackgroundColour(*wxWHITE);
  SetTextColour(*wxBLACK);
  DragAcceptFiles(true);
  Bind(wxEVT_DROP_FILES, [this](wxDropFilesEvent& event) {
    wxArrayString paths;
    for (int i = 0; i < event.GetNumberOfFiles(); ++i) paths.Add(event.GetFiles()[i]);
    HandleDrop(paths);
  });
  Bind(wxEVT_LIST_ITEM_CHECKED, &AttachmentList::OnItemCheckChanged, this);
  Bind(wxEVT_LIST_ITEM_UNCHECKED, &AttachmentList::OnItemCheckChanged, this);
  Bind(wxEVT_LIST_COL_CLICK, &AttachmentList::OnColumnClick, this);
  // Space ticks or clears the focused row's check box, as a click on it does.
  Bind(wxEVT_LIST_KEY_DOWN, [this](wxListEvent& event) {
    const long row = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    if (event.GetKeyCode() == WXK_SPACE && row >= 0) {
      CheckItem(row, !IsItemChecked(row));
      return;
    }
    event.Skip();
  });
#ifndef __WXMSW__
  // The generic list paints its rows in an inner window; the empty-list hint goes there.
  // It is the list's first child (the header window comes after it).
  if (!GetChildren().empty()) {
    wxWindow* inner = GetChildren().front();
    inner->Bind(wxEVT_PAINT, &AttachmentList::OnMainPaint, this);
    rowsWindow_ = inner;
  }
#endif
  // The summary of the row under the pointer, else of the selected row.
  wxWindow* rows = rowsWindow_ != nullptr ? rowsWindow_ : this;
  auto pointerOverRows = [this](wxMouseEvent& event) {
    ShowSummary(SummaryRowAt(event.GetPosition()));
    event.Skip();
  };
  rows->Bind(wxEVT_MOTION, pointerOverRows);
  rows->Bind(wxEVT_ENTER_WINDOW, pointerOverRows);
  // The tip is asked for where the pointer is when it is about to show.
  SkinToolTip::SetTipSource(rows, [this](const wxPoint& point) {
    const long row = SummaryRowAt(point);
    ShowSummary(row);
    return row >= 0 ? entries_[static_cast<std::size_t>(row)].summary : wxString();
  });
  rows->Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent& event) {
    ShowSummary(GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
    event.Skip();
  });
  Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent& event) {
    ShowSummary(event.GetIndex());
    event.Skip();
  });
  Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent& event) {
    ShowSummary(GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
    event.Skip();
  });
  AccessibleInfo::Describe(
      AccessibleWindow(), AccessibleInfo::Role::kTable, wxString::FromUTF8(ReportWindowTexts::kAttachmentListName),
      wxString::FromUTF8(ReportWindowTexts::kNameColumn) + ", " + wxString::FromUTF8(ReportWindowTexts::kSizeColumn));
  UpdateAccessibleRows();
}

AttachmentList::~AttachmentList() = default;

int AttachmentList::AddFile(const wxString& path) {
  const std::string nativePath = NativePath::FromWx(path);
  std::vector<std::string> listedNames;
  for (const AttachmentEntry& entry : entries_) listedNames.push_back(NativePath::FromWx(entry.name));
  const AttachmentProblem problem = AttachmentRules::CheckAdd(listedNames, AttachmentRules::NameOf(nativePath));
  if (problem != AttachmentProblem::kNone) {
    MessageSink::Current().ShowMessage(AttachmentRules::MessageOf(problem), kStyleStop);
    return -1;
  }
  const wxString name = NativePath::ToWx(AttachmentRules::NameOf(nativePath));
  AttachedMail mail = AttachedMail::Read(nativePath);
  if (addCheck_ && !addCheck_(path, mail)) return -1;
  AttachmentEntry entry{name,
                        path,
                        wxString::Format("%lld", AttachmentRules::ListedSize(nativePath)),
                        Cp949::ToWx(mail.summary.Describe()),
                        !mail.summary.IsMail(),
                        std::move(mail)};

  PostCountChanged();
  const long row = InsertItem(GetItemCount(), entry.name, -1);
  if (row < 0) return 0;
  SetItem(row, 1, entry.sizeText);
  SetItemTextColour(row, *wxBLACK);
  // The send-time checks still decide; the mark only warns.
  // Every row takes the mark's room (image 0 is blank) so the names line up.
  if (notMailImage_ >= 0) SetItemImage(row, entry.notMail ? notMailImage_ : 0);
  entries_.insert(entries_.begin() + row, entry);
  UpdateHeaderBox();
  UpdateAccessibleRows();
  Refresh();
  return 1;
}

void AttachmentList::RemoveAt(long index) {
  if (index < 0 || index >= Count()) return;
  DeleteItem(index);
  entries_.erase(entries_.begin() + index);
  ShowSummary(GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
  PostCountChanged();
  UpdateHeaderBox();
  UpdateAccessibleRows();
  Refresh();
}

int AttachmentList::RemoveChecked() {
  int removed = 0;
  for (long i = GetItemCount() - 1; i >= 0; --i) {
    if (IsItemChecked(i)) {
      RemoveAt(i);
      ++removed;
    }
  }
  return removed;
}

void AttachmentList::RemoveAll() {
  for (long i = GetItemCount() - 1; i >= 0; --i) RemoveAt(i);
}

std::vector<wxString> AttachmentList::Paths() const {
  std::vector<wxString> paths;
  for (const AttachmentEntry& entry : entries_) paths.push_back(entry.path);
  return paths;
}

std::vector<AttachedMail> AttachmentList::Mails() const {
  std::vector<AttachedMail> mails;
  for (const AttachmentEntry& entry : entries_) mails.push_back(entry.mail);
  return mails;
}

bool AttachmentList::SetDropFilter(const DropFilter& filter) {
  if ((filter.flags & kUseCallback) && !filter.callback) return false;
  dropFilter_ = filter;
  return true;
}

void AttachmentList::SetupColumns() {
  if (GetColumnCount() > 0) return;
  const int width = GetClientSize().GetWidth();
  InsertColumn(0, wxString::FromUTF8(ReportWindowTexts::kNameColumn), wxLIST_FORMAT_LEFT,
               std::max(width - kSizeColumnWidth, 40));
  InsertColumn(1, wxString::FromUTF8(ReportWindowTexts::kSizeColumn), wxLIST_FORMAT_LEFT, kSizeColumnWidth);
}

void AttachmentList::SetupHeaderCheckBox() {
  if (headerReady_) return;
  const wxBitmap strip = ResourceImages::LoadBitmap(kCheckBoxStripBitmap);
  if (strip.IsOk() && strip.GetWidth() >= 48 && strip.GetHeight() == 16) {
    stateImages_.Add(strip, wxColour(255, 0, 255));
  } else {
    wxBitmap blank(16, 16);
    {
      wxMemoryDC dc(blank);
      dc.SetBackground(*wxWHITE_BRUSH);
      dc.Clear();
    }
    stateImages_.Add(blank);
    stateImages_.Add(DrawnCheckBox(this, false));
    stateImages_.Add(DrawnCheckBox(this, true));
  }
  notMailImage_ = stateImages_.Add(DrawnNotMailMark());
  SetImageList(&stateImages_, wxIMAGE_LIST_SMALL);
  headerReady_ = true;
  SetHeaderImage(1);
}

void AttachmentList::SetHintText(const wxString& text) {
  hintText_ = text;
  Refresh();
}

void AttachmentList::HandleDrop(const wxArrayString& paths) {
  if (!ChangesAllowed()) return;
  for (const wxString& dropped : paths) {
    wxString path = dropped;
    if (!path.empty()) {
      const std::string target = LinkTarget::Resolve(NativePath::FromWx(path));
      if (!target.empty()) path = NativePath::ToWx(target);
    }
    const AttachmentProblem problem = AttachmentRules::CheckDropped(NativePath::FromWx(path));
    if (problem != AttachmentProblem::kNone) {
      ShowPlain(AttachmentRules::MessageOf(problem));
      continue;
    }
    struct stat info;
    if (!StatPath(path, &info)) continue;
    int kind = 0;
    if ((dropFilter_.flags & kAcceptFolders) && S_ISDIR(info.st_mode)) {
      kind = kKindFolder;
    } else if ((dropFilter_.flags & kAcceptFiles) && S_ISREG(info.st_mode)) {
      kind = kKindFile;
      if (dropFilter_.flags & kRequireExtension) {
        const std::string fileName = AttachmentRules::NameOf(NativePath::FromWx(path));
        const size_t fileDot = fileName.find_last_of('.');
        if (fileDot == std::string::npos ||
            !AttachmentRules::SameName(fileName.substr(fileDot), NativePath::FromWx(dropFilter_.extension)))
          kind = 0;
      }
    }
    if (kind == 0) continue;
    if (dropFilter_.flags & kUseCallback)
      dropFilter_.callback(*this, path, kind);
    else
      AddFile(path);
  }
}

void AttachmentList::PostCountChanged() {
  CallAfter([this] {
    if (countChanged_) countChanged_();
  });
}

void AttachmentList::UpdateHeaderBox() {
  if (!headerReady_ || updatingChecks_) return;
  const int rows = GetItemCount();
  int checked = 0;
  for (int i = 0; i < rows; ++i)
    if (IsItemChecked(i)) ++checked;
  SetHeaderImage(rows > 0 && checked == rows ? 2 : 1);
}

void AttachmentList::SetHeaderImage(int image) {
  headerImage_ = image;
  if (GetColumnCount() == 0) return;
  wxListItem column;
  column.SetMask(wxLIST_MASK_IMAGE);
  column.SetImage(image);
  SetColumn(0, column);
}

void AttachmentList::OnItemCheckChanged(wxListEvent& event) {
  UpdateHeaderBox();
  UpdateAccessibleRows();
  event.Skip();
}

void AttachmentList::OnColumnClick(wxListEvent& event) {
  if (event.GetColumn() != 0 || !headerReady_) return;
  const int image = headerImage_ == 1 ? 2 : 1;
  SetHeaderImage(image);
  updatingChecks_ = true;
  for (long i = 0; i < GetItemCount(); ++i) CheckItem(i, image == 2);
  updatingChecks_ = false;
  UpdateAccessibleRows();
}

wxWindow* AttachmentList::AccessibleWindow() {
  // A screen reader meets the window that takes the keyboard: the rows'.
  return rowsWindow_ != nullptr ? rowsWindow_ : this;
}

void AttachmentList::UpdateAccessibleRows() {
  std::vector<AccessibleInfo::Row> described;
  for (long i = 0; i < Count(); ++i) {
    const AttachmentEntry& entry = entries_[static_cast<std::size_t>(i)];
    described.push_back({entry.name, entry.summary, IsItemChecked(i)});
  }
  AccessibleInfo::SetRows(AccessibleWindow(), described);
}

void AttachmentList::OnMainPaint(wxPaintEvent& event) {
  if (GetItemCount() > 0) {
    event.Skip();
    return;
  }
  wxWindow* inner = static_cast<wxWindow*>(event.GetEventObject());
  wxPaintDC dc(inner);
  dc.SetBackground(wxBrush(GetBackgroundColour()));
  dc.Clear();
  // Positions are those of the whole list's client area; the inner window
  // starts below the header.
  const int headerBottom = inner->GetPosition().y;
  if (!emptyListBitmap_.IsOk()) {  // decoded and scaled once, at the first paint
    const wxIcon icon = ResourceImages::LoadIcon(kEmptyListIcon);
    if (icon.IsOk()) {
      emptyListBitmap_ = wxBitmap(icon);
      if (emptyListBitmap_.GetWidth() != 32 || emptyListBitmap_.GetHeight() != 32)
        emptyListBitmap_ = wxBitmap(emptyListBitmap_.ConvertToImage().Scale(32, 32, wxIMAGE_QUALITY_HIGH));
    }
  }
  if (emptyListBitmap_.IsOk()) dc.DrawBitmap(emptyListBitmap_, 45, 35 - headerBottom, true);
  if (hintText_.empty()) return;
  wxRect area(0, 0, inner->GetClientSize().GetWidth(), inner->GetClientSize().GetHeight());
  area.x += 35;
  area.width -= 35;
  area.y += 30;
  area.height -= 30;
  dc.SetFont(hintFont_);
  dc.SetTextForeground(GetTextColour());
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  // Centred lines, broken between words where the width runs out.
  wxArrayString lines;
  wxString line;
  for (const wxString& word : wxSplit(hintText_, ' ', '\0')) {
    const wxString candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && dc.GetTextExtent(candidate).GetWidth() > area.width) {
      lines.Add(line);
      line = word;
    } else {
      line = candidate;
    }
  }
  if (!line.empty()) lines.Add(line);
  int y = area.y;
  for (const wxString& text : lines) {
    const wxSize extent = dc.GetTextExtent(text);
    dc.DrawText(text, area.x + (area.width - extent.GetWidth()) / 2, y);
    y += extent.GetHeight();
  }
}

void AttachmentList::ShowSummary(long row) {
  const AttachmentEntry* entry = row >= 0 && row < Count() ? &entries_[static_cast<std::size_t>(row)] : nullptr;
  const wxString text = entry != nullptr ? entry->summary : wxString();
  if (text == shownSummary_) return;
  shownSummary_ = text;
  if (summaryShown_) summaryShown_(entry);
}

long AttachmentList::SummaryRowAt(const wxPoint& point) const {
  int flags = 0;
  const long row = HitTest(point, flags);
  return row >= 0 && row < Count() ? row : GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
}

void AttachmentList::ShowPlain(const std::string& text) {
  if (plainSink_ != nullptr) {
    plainSink_->ShowMessage(text, kMbOk);
    return;
  }
  wxMessageBox(Cp949::ToWx(text), wxTheApp != nullptr ? wxTheApp->GetAppDisplayName() : wxString(), wxOK, this);
}

}  // namespace veradex
