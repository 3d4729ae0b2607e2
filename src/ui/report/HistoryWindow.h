#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "report/ReportHistory.h"

class wxButton;
class wxListCtrl;
class wxListEvent;
class wxStaticText;
class wxTextCtrl;

namespace veradex {

// "신고 내역": what was reported and what the centre answered, newest first,
// with a filter, the whole record of the selected row, "다시 보내기" for a
// report that did not go through (its file goes back into the attachment
// list) and an export for spreadsheets. Modeless; its owner shows it again
// and it reloads each time it is shown.
class HistoryWindow : public wxDialog {
 public:
  enum Column { kDateColumn, kSubjectColumn, kFromColumn, kVerdictColumn };

  // resend: puts a file (as the file system spells it) back into the
  // attachment list; true when it was added.
  HistoryWindow(wxWindow* parent, ReportHistory& history, std::function<bool(const std::string&)> resend);

  // Reads the history again and applies the filter.
  void Reload();
  // Keeps the rows whose date, subject, sender, verdict, file name or
  // Message-ID contain the text (letters of any case).
  void SetFilter(const wxString& text);
  // Selects a shown row (-1: none) and shows its record.
  void SelectRow(long row);
  // Puts the selected report's file back into the attachment list. Only for
  // a report that was refused or not sent, and only while the file exists;
  // says why not otherwise.
  bool ResendSelected();
  // Writes the shown rows to a file (UTF-8 with a byte-order mark). Says so
  // when the file cannot be written.
  bool ExportCsv(const wxString& path);

  // Chooses the export file (default: the save dialog); empty: cancelled.
  void SetExportChooser(std::function<wxString()> chooser) { exportChooser_ = std::move(chooser); }

  long RowCount() const;
  wxString RowText(long row, int column) const;
  wxString DetailText() const;
  bool CanResend() const;
  // The status line under the list (the number of rows, or why the history is not kept).
  wxString StatusText() const;

 private:
  void Fill();
  void ShowDetail();
  void OnExport();
  const HistoryEntry* Selected() const;

  ReportHistory& history_;
  std::function<bool(const std::string&)> resend_;
  std::function<wxString()> exportChooser_;
  std::vector<HistoryEntry> entries_;
  std::vector<wxString> searchTexts_;  // per entry, lower case: what the filter finds
  std::vector<const HistoryEntry*> shown_;
  wxString filter_;
  long selected_ = -1;
  long long selectedId_ = 0;
  long long loadedId_ = -1;  // the history's newest id when it was last read  // the history's id of the selected
                             // report, kept over reloads
  wxTextCtrl* filterEdit_ = nullptr;
  wxListCtrl* list_ = nullptr;
  wxTextCtrl* detail_ = nullptr;
  wxStaticText* status_ = nullptr;
  wxButton* resendButton_ = nullptr;
};

}  // namespace veradex
