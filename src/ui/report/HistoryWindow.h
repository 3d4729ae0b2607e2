#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "report/Outbox.h"
#include "report/ReportHistory.h"

class wxButton;
class wxListCtrl;
class wxListEvent;
class wxStaticText;
class wxTextCtrl;

namespace veradex {

// "신고 내역": the reports waiting in the outbox first ("대기 중", with the
// next try's time, "지금 보내기" and "취소"), then what was reported and what
// the centre answered, newest first, with a filter, the whole record of the selected row, "다시 보내기" for a
// report that did not go through (its file goes back into the attachment
// list) and an export for spreadsheets. Modeless; its owner shows it again
// and it reloads each time it is shown.
class HistoryWindow : public wxDialog {
 public:
  enum Column { kDateColumn, kSubjectColumn, kFromColumn, kVerdictColumn };

  // resend: puts a file (as the file system spells it) back into the
  // attachment list; true when it was added.
  HistoryWindow(wxWindow* parent, ReportHistory& history, std::function<bool(const std::string&)> resend);

  // What the window needs of the outbox.
  struct WaitingReports {
    Outbox* outbox = nullptr;
    std::function<std::time_t()> nextTry;                    // 0: tries stopped until the next start
    std::function<void()> sendNow;                           // starts a round of tries now
    std::function<bool(const std::string& id)> isBeingSent;  // the entry is going out this moment
    std::function<void()> changed;                           // after an entry was cancelled
  };
  // Lists the outbox's waiting reports above the history (reloads).
  void SetWaitingReports(WaitingReports waiting);

  // Reads the history and the outbox again and applies the filter.
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
  // "지금 보내기": the waiting reports go out now.
  void SendWaitingNow();
  // "취소": asks, then removes the selected waiting report and its copies.
  bool CancelSelected();
  // Rows of waiting reports (they come first).
  long WaitingRowCount() const { return static_cast<long>(waitingShown_.size()); }
  // Writes the shown rows to a file (UTF-8 with a byte-order mark). Says so
  // when the file cannot be written.
  bool ExportCsv(const wxString& path);

  // Chooses the export file (default: the save dialog); empty: cancelled.
  void SetExportChooser(std::function<wxString()> chooser) { exportChooser_ = std::move(chooser); }

  long RowCount() const;
  wxString RowText(long row, int column) const;
  wxString DetailText() const;
  bool CanResend() const;
  bool CanSendNow() const;
  bool CanCancel() const;
  // The status line under the list (the number of rows, or why the history is not kept).
  wxString StatusText() const;

 private:
  void Fill();
  void ShowDetail();
  void OnExport();
  const HistoryEntry* Selected() const;
  const OutboxEntry* SelectedWaiting() const;
  wxString NextTryText() const;
  void ShowWaitingDetail(const OutboxEntry& entry);

  ReportHistory& history_;
  std::function<bool(const std::string&)> resend_;
  std::function<wxString()> exportChooser_;
  std::vector<HistoryEntry> entries_;
  std::vector<wxString> searchTexts_;  // per entry, lower case: what the filter finds
  std::vector<const HistoryEntry*> shown_;
  WaitingReports waitingReports_;
  std::vector<OutboxEntry> waiting_;
  std::vector<const OutboxEntry*> waitingShown_;
  std::string selectedWaitingId_;
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
  wxButton* sendNowButton_ = nullptr;
  wxButton* cancelButton_ = nullptr;
};

}  // namespace veradex
