#include "ui/report/HistoryWindow.h"

#include <sys/stat.h>

#include <fstream>

#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/listctrl.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/Cp949.h"
#include "platform/LocalTime.h"
#include "platform/MessageSink.h"
#include "platform/NativePath.h"
#include "report/ReportTexts.h"
#include "ui/report/ReportWindowTexts.h"
#include "ui/report/Utf8Text.h"

namespace veradex {

namespace {

wxString Minutes(std::time_t moment) {
  const std::tm local = LocalTime::From(moment);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return wxString::FromUTF8(text);
}

wxString FileNameOf(const std::string& nativePath) {
  const std::size_t slash = nativePath.find_last_of('/');
  return NativePath::ToWx(slash == std::string::npos ? nativePath : nativePath.substr(slash + 1));
}

void Say(const wxString& text) { MessageSink::Current().ShowMessage(Utf8Text::ToCp949(text), kStyleStop); }

wxString Text(ReportTexts::Text text) { return Cp949::ToWx(ReportTexts::Get(text)); }

// What a waiting report shows in the subject and sender columns.
wxString Subjects(const OutboxEntry& entry) {
  wxString subjects;
  for (const OutboxFile& file : entry.waiting)
    subjects += (subjects.empty() ? "" : ", ") + Cp949::ToWx(file.subject.empty() ? file.name : file.subject);
  return subjects;
}

}  // namespace

HistoryWindow::HistoryWindow(wxWindow* parent, ReportHistory& history, std::function<bool(const std::string&)> resend)
    : wxDialog(parent, wxID_ANY, HistoryTexts::Title(), wxDefaultPosition, wxSize(760, 620),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      history_(history),
      resend_(std::move(resend)) {
  SetBackgroundColour(*wxWHITE);
  auto* top = new wxBoxSizer(wxVERTICAL);

  // The heading band in the report window's colours.
  auto* band = new wxPanel(this);
  band->SetBackgroundColour(wxColour(0x1B, 0x3A, 0x57));
  auto* bandSizer = new wxBoxSizer(wxVERTICAL);
  auto* heading = new wxStaticText(band, wxID_ANY, HistoryTexts::Title());
  heading->SetForegroundColour(*wxWHITE);
  heading->SetFont(heading->GetFont().Bold().Scaled(1.4f));
  auto* subtitle = new wxStaticText(band, wxID_ANY, HistoryTexts::Subtitle());
  subtitle->SetForegroundColour(wxColour(0xD6, 0xE2, 0xEC));
  bandSizer->Add(heading, 0, wxLEFT | wxRIGHT | wxTOP, 12);
  bandSizer->Add(subtitle, 0, wxALL, 12);
  band->SetSizer(bandSizer);
  top->Add(band, 0, wxEXPAND);
  auto* accent = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(-1, 3));
  accent->SetBackgroundColour(wxColour(0xE8, 0x8B, 0x2E));
  top->Add(accent, 0, wxEXPAND);

  auto* filterRow = new wxBoxSizer(wxHORIZONTAL);
  filterRow->Add(new wxStaticText(this, wxID_ANY, HistoryTexts::FilterLabel()), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT,
                 6);
  filterEdit_ = new wxTextCtrl(this, wxID_ANY);
  filterRow->Add(filterEdit_, 1);
  top->Add(filterRow, 0, wxEXPAND | wxALL, 8);

  list_ = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(-1, 250),
                         wxLC_REPORT | wxLC_SINGLE_SEL | wxBORDER_SIMPLE);
  list_->SetBackgroundColour(*wxWHITE);
  list_->InsertColumn(kDateColumn, HistoryTexts::DateColumn(), wxLIST_FORMAT_LEFT, 130);
  list_->InsertColumn(kSubjectColumn, HistoryTexts::SubjectColumn(), wxLIST_FORMAT_LEFT, 280);
  list_->InsertColumn(kFromColumn, HistoryTexts::FromColumn(), wxLIST_FORMAT_LEFT, 190);
  list_->InsertColumn(kVerdictColumn, HistoryTexts::VerdictColumn(), wxLIST_FORMAT_LEFT, 120);
  top->Add(list_, 1, wxEXPAND | wxLEFT | wxRIGHT, 8);

  status_ = new wxStaticText(this, wxID_ANY, wxString());
  top->Add(status_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 8);

  detail_ = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wxSize(-1, 150),
                           wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
  top->Add(detail_, 0, wxEXPAND | wxALL, 8);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  sendNowButton_ = new wxButton(this, wxID_ANY, Text(ReportTexts::kOutboxSendNow));
  cancelButton_ = new wxButton(this, wxID_ANY, Text(ReportTexts::kOutboxCancel));
  resendButton_ = new wxButton(this, wxID_ANY, HistoryTexts::ResendButton());
  buttons->Add(sendNowButton_, 0, wxRIGHT, 6);
  buttons->Add(cancelButton_, 0, wxRIGHT, 18);
  // Only with an outbox to show.
  sendNowButton_->Hide();
  cancelButton_->Hide();
  auto* exportButton = new wxButton(this, wxID_ANY, HistoryTexts::ExportButton());
  auto* closeButton = new wxButton(this, wxID_CANCEL, HistoryTexts::CloseButton());
  buttons->Add(resendButton_, 0, wxRIGHT, 6);
  buttons->Add(exportButton, 0, wxRIGHT, 6);
  buttons->AddStretchSpacer();
  buttons->Add(closeButton);
  top->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
  SetSizer(top);
  Layout();

  filterEdit_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { SetFilter(filterEdit_->GetValue()); });
  list_->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent& event) { SelectRow(event.GetIndex()); });
  list_->Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent&) { SelectRow(-1); });
  resendButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ResendSelected(); });
  sendNowButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SendWaitingNow(); });
  cancelButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CancelSelected(); });
  exportButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnExport(); });
  closeButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Hide(); });
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Hide(); });
  // Reports recorded while the window was open show up when it is next used.
  Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
    const bool waitingChanged = waitingReports_.outbox != nullptr &&
                                waitingReports_.outbox->WaitingCount() != static_cast<int>(waiting_.size());
    if (event.GetActive() && (history_.LastId() != loadedId_ || waitingChanged)) Reload();
    event.Skip();
  });
  Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
    if (event.IsShown()) Reload();
    event.Skip();
  });
  Reload();
}

void HistoryWindow::SetWaitingReports(WaitingReports waiting) {
  waitingReports_ = std::move(waiting);
  const bool shown = waitingReports_.outbox != nullptr;
  sendNowButton_->Show(shown);
  cancelButton_->Show(shown);
  Layout();
  Reload();
}

void HistoryWindow::Reload() {
  waiting_ = waitingReports_.outbox != nullptr ? waitingReports_.outbox->Waiting() : std::vector<OutboxEntry>();
  loadedId_ = history_.LastId();
  entries_ = history_.Entries();
  // What the filter searches, once per load rather than at every key.
  searchTexts_.clear();
  searchTexts_.reserve(entries_.size());
  for (const HistoryEntry& entry : entries_) {
    const wxString text = Minutes(entry.time) + "\n" + Cp949::ToWx(entry.subject) + "\n" + Cp949::ToWx(entry.from) +
                          "\n" + Cp949::ToWx(ReportHistory::VerdictText(entry.verdict)) + "\n" +
                          FileNameOf(entry.localPath) + "\n" + Cp949::ToWx(entry.messageId);
    searchTexts_.push_back(text.Lower());
  }
  Fill();
}

void HistoryWindow::SetFilter(const wxString& text) {
  filter_ = text.Lower();
  if (filterEdit_->GetValue() != text) filterEdit_->ChangeValue(text);
  Fill();
}

void HistoryWindow::Fill() {
  // The selected report stays selected when it is still listed.
  const long long selectedId = selectedId_;
  const std::string selectedWaitingId = selectedWaitingId_;
  waitingShown_.clear();
  for (const OutboxEntry& entry : waiting_) {
    wxString text = Minutes(entry.created) + "\n" + Subjects(entry) + "\n" + Text(ReportTexts::kOutboxWaiting);
    for (const OutboxFile& file : entry.waiting)
      text += "\n" + Cp949::ToWx(file.from) + "\n" + NativePath::ToWx(file.name);
    if (!filter_.empty() && text.Lower().Find(filter_) == wxNOT_FOUND) continue;
    waitingShown_.push_back(&entry);
  }
  shown_.clear();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (!filter_.empty() && searchTexts_[i].Find(filter_) == wxNOT_FOUND) continue;
    shown_.push_back(&entries_[i]);
  }
  list_->Freeze();
  list_->DeleteAllItems();
  const long waitingRows = WaitingRowCount();
  for (long i = 0; i < waitingRows; ++i) {
    const OutboxEntry& entry = *waitingShown_[static_cast<std::size_t>(i)];
    const long row = list_->InsertItem(i, Minutes(entry.created));
    list_->SetItem(row, kSubjectColumn, Subjects(entry));
    list_->SetItem(row, kFromColumn, entry.waiting.empty() ? wxString() : Cp949::ToWx(entry.waiting[0].from));
    list_->SetItem(row, kVerdictColumn, Text(ReportTexts::kOutboxWaiting) + " " + NextTryText());
    list_->SetItemTextColour(row, wxColour(0, 70, 160));
  }
  for (std::size_t i = 0; i < shown_.size(); ++i) {
    const HistoryEntry& entry = *shown_[i];
    const long row = list_->InsertItem(waitingRows + static_cast<long>(i), Minutes(entry.time));
    list_->SetItem(row, kSubjectColumn, Cp949::ToWx(entry.subject));
    list_->SetItem(row, kFromColumn, Cp949::ToWx(entry.from));
    list_->SetItem(row, kVerdictColumn, Cp949::ToWx(ReportHistory::VerdictText(entry.verdict)));
    if (entry.verdict != ReportVerdict::kAccepted) list_->SetItemTextColour(row, wxColour(176, 0, 0));
  }
  list_->Thaw();
  if (!history_.IsWritable())
    status_->SetLabel(Cp949::ToWx(ReportTexts::Get(ReportTexts::kHistoryUnavailable)));
  else
    status_->SetLabel(
        wxString::Format(HistoryTexts::RowCount(), static_cast<int>(shown_.size()), static_cast<int>(entries_.size())));
  if (!waiting_.empty())
    status_->SetLabel(wxString::Format(Text(ReportTexts::kOutboxWaitingTip), static_cast<int>(waiting_.size())) +
                      wxString::FromUTF8("  \u00B7  ") + status_->GetLabel());
  selected_ = -1;
  for (long i = 0; i < waitingRows && !selectedWaitingId.empty(); ++i)
    if (waitingShown_[static_cast<std::size_t>(i)]->id == selectedWaitingId) selected_ = i;
  for (std::size_t i = 0; i < shown_.size() && selectedId != 0; ++i)
    if (shown_[i]->id == selectedId) selected_ = waitingRows + static_cast<long>(i);
  SelectRow(selected_);
}

void HistoryWindow::SelectRow(long row) {
  selected_ = row >= 0 && row < RowCount() ? row : -1;
  const HistoryEntry* entry = Selected();
  const OutboxEntry* waiting = SelectedWaiting();
  selectedId_ = entry != nullptr ? entry->id : 0;
  selectedWaitingId_ = waiting != nullptr ? waiting->id : std::string();
  if (selected_ >= 0 && list_->GetItemState(selected_, wxLIST_STATE_SELECTED) == 0) {
    list_->SetItemState(selected_, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                        wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    list_->EnsureVisible(selected_);
  }
  ShowDetail();
}

const HistoryEntry* HistoryWindow::Selected() const {
  return selected_ >= WaitingRowCount() && selected_ < RowCount()
             ? shown_[static_cast<std::size_t>(selected_ - WaitingRowCount())]
             : nullptr;
}

const OutboxEntry* HistoryWindow::SelectedWaiting() const {
  return selected_ >= 0 && selected_ < WaitingRowCount() ? waitingShown_[static_cast<std::size_t>(selected_)] : nullptr;
}

wxString HistoryWindow::NextTryText() const {
  const std::time_t next = waitingReports_.nextTry ? waitingReports_.nextTry() : 0;
  if (next == 0) return Text(ReportTexts::kOutboxTriesStopped);
  const std::tm local = LocalTime::From(next);
  char text[16];
  std::strftime(text, sizeof text, "%H:%M", &local);
  return wxString::FromUTF8(text);
}

void HistoryWindow::ShowWaitingDetail(const OutboxEntry& entry) {
  const auto line = [](const wxString& label, const wxString& value) { return label + ": " + value + "\n"; };
  wxString text;
  text += line(HistoryTexts::TimeLabel(), Minutes(entry.created));
  text += line(HistoryTexts::VerdictColumn(), Text(ReportTexts::kOutboxWaiting));
  const std::time_t next = waitingReports_.nextTry ? waitingReports_.nextTry() : 0;
  text += line(Text(ReportTexts::kOutboxNextTry), next == 0 ? Text(ReportTexts::kOutboxTriesStopped) : Minutes(next));
  for (const OutboxFile& file : entry.waiting)
    text += line(HistoryTexts::FileLabel(), NativePath::ToWx(file.original) + " (" + Cp949::ToWx(file.subject) + ", " +
                                                wxString::Format("%lld", file.size) + ")");
  const wxString email = entry.form.email.empty() ? wxString() : " <" + Cp949::ToWx(entry.form.email) + ">";
  text += line(HistoryTexts::ReporterLabel(), Cp949::ToWx(entry.form.name) + email);
  text += HistoryTexts::ContentLabel() + ":\n" + Cp949::ToWx(entry.form.content);
  detail_->ChangeValue(text);
}

bool HistoryWindow::CanSendNow() const { return waitingReports_.sendNow && !waiting_.empty(); }

bool HistoryWindow::CanCancel() const { return SelectedWaiting() != nullptr; }

void HistoryWindow::SendWaitingNow() {
  if (!CanSendNow()) return;
  waitingReports_.sendNow();
  Fill();
}

bool HistoryWindow::CancelSelected() {
  const OutboxEntry* entry = SelectedWaiting();
  if (entry == nullptr || waitingReports_.outbox == nullptr) return false;
  const std::string id = entry->id;
  if (waitingReports_.isBeingSent && waitingReports_.isBeingSent(id)) {
    MessageSink::Current().ShowMessage(ReportTexts::Get(ReportTexts::kOutboxBusy), kStyleStop);
    return false;
  }
  if (MessageSink::Current().ShowMessage(ReportTexts::Get(ReportTexts::kOutboxCancelQuestion), kStyleQuestion) !=
      kIdYes)
    return false;
  const bool cancelled = waitingReports_.outbox->Cancel(id);
  Reload();
  if (waitingReports_.changed) waitingReports_.changed();
  return cancelled;
}

void HistoryWindow::ShowDetail() {
  const HistoryEntry* entry = Selected();
  resendButton_->Enable(CanResend());
  sendNowButton_->Enable(CanSendNow());
  cancelButton_->Enable(CanCancel());
  if (const OutboxEntry* waiting = SelectedWaiting()) return ShowWaitingDetail(*waiting);
  if (entry == nullptr) {
    detail_->ChangeValue(wxString());
    return;
  }
  const auto line = [](const wxString& label, const wxString& value) { return label + ": " + value + "\n"; };
  wxString text;
  text += line(HistoryTexts::TimeLabel(), Minutes(entry->time));
  text += line(HistoryTexts::FileLabel(), NativePath::ToWx(entry->localPath));
  text += line(HistoryTexts::SentNameLabel(), wxString::FromUTF8(entry->sentName.c_str()));
  text += line(HistoryTexts::SizeLabel(), wxString::Format("%lld", entry->size));
  text += line("SHA-256", wxString::FromUTF8(entry->sha256.c_str()));
  text += line("Message-ID", Cp949::ToWx(entry->messageId));
  text += line(HistoryTexts::SubjectColumn(), Cp949::ToWx(entry->subject));
  text += line(HistoryTexts::FromColumn(), Cp949::ToWx(entry->from));
  text += line(HistoryTexts::VerdictColumn(), Cp949::ToWx(ReportHistory::VerdictText(entry->verdict)));
  text += line(HistoryTexts::RunLabel(), wxString::Format("%lld", entry->run));
  text += HistoryTexts::AnswerLabel() + ":\n" + Cp949::ToWx(entry->answer);
  detail_->ChangeValue(text);
}

bool HistoryWindow::CanResend() const {
  const HistoryEntry* entry = Selected();
  return entry != nullptr && entry->verdict != ReportVerdict::kAccepted;
}

bool HistoryWindow::ResendSelected() {
  const HistoryEntry* entry = Selected();
  if (entry == nullptr) return false;
  if (entry->verdict == ReportVerdict::kAccepted) {
    Say(HistoryTexts::OnlyRefused());
    return false;
  }
  struct stat info;
  if (::stat(entry->localPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    Say(wxString::Format(HistoryTexts::FileGone(), NativePath::ToWx(entry->localPath)));
    return false;
  }
  return resend_ && resend_(entry->localPath);
}

bool HistoryWindow::ExportCsv(const wxString& path) {
  std::vector<HistoryEntry> rows;
  for (const HistoryEntry* entry : shown_) rows.push_back(*entry);
  const std::string csv = ReportHistory::CsvText(rows);
  std::ofstream file(NativePath::FromWx(path), std::ios::binary | std::ios::trunc);
  if (file) file.write(csv.data(), static_cast<std::streamsize>(csv.size()));
  if (!file || !file.flush()) {
    Say(wxString::Format(HistoryTexts::ExportFailed(), path));
    return false;
  }
  return true;
}

void HistoryWindow::OnExport() {
  wxString path;
  if (exportChooser_) {
    path = exportChooser_();
  } else {
    wxFileDialog dialog(this, HistoryTexts::ExportTitle(), wxString(), HistoryTexts::ExportFileName(),
                        "CSV (*.csv)|*.csv", wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() == wxID_OK) path = dialog.GetPath();
  }
  if (!path.empty()) ExportCsv(path);
}

long HistoryWindow::RowCount() const { return WaitingRowCount() + static_cast<long>(shown_.size()); }

wxString HistoryWindow::RowText(long row, int column) const { return list_->GetItemText(row, column); }

wxString HistoryWindow::DetailText() const { return detail_->GetValue(); }

wxString HistoryWindow::StatusText() const { return status_->GetLabel(); }

}  // namespace veradex
