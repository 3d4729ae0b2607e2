#include "ui/report/EmailReportPanel.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/filedlg.h>
#include <wx/gauge.h>
#include <wx/textctrl.h>

#include "platform/Cp949.h"
#include "platform/Desktop.h"
#include "platform/LineBreaks.h"
#include "platform/MessageSink.h"
#include "platform/NativePath.h"
#include "platform/TempFolder.h"
#include "profile/PersonalProfile.h"
#include "profile/ServerSettings.h"
#include "report/AttachmentRules.h"
#include "report/MailClientCapture.h"
#include "report/OutboxOffer.h"
#include "report/ReportForm.h"
#include "report/ReportFormCheck.h"
#include "report/ReportHistory.h"
#include "report/ReportSender.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/DuplicateQuestion.h"
#include "ui/report/MailPreviewStrip.h"
#include "ui/report/ReportWindowIds.h"
#include "ui/report/ReportWindowObserver.h"
#include "ui/report/ReportWindowTexts.h"
#include "ui/report/Utf8Text.h"
#include "ui/skin/AccessibleInfo.h"
#include "ui/skin/CueEdit.h"
#include "ui/skin/SkinBitmapButton.h"
#include "ui/skin/SkinDialog.h"
#include "ui/skin/SkinLabel.h"
#include "ui/skin/WhiteStatic.h"

#ifdef VERADEX_HAVE_GDK_X11
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#endif

namespace veradex {

namespace {

using Ids = ReportWindowIds;

void Say(const char* utf8) { MessageSink::Current().ShowMessage(Utf8Text::ToCp949(utf8), kStyleStop); }
void SayBytes(const std::string& cp949) { MessageSink::Current().ShowMessage(cp949, kStyleStop); }

// The description as it is sent, in code page 949 with every line break as
// CR LF (the GTK control holds LF alone), so a break counts two bytes and the
// LF of a pasted CR LF adds nothing; a character code page 949 cannot hold
// stands as a double-byte blank (it is refused when the report is sent).
// sources[k] is the index in text of the k-th character of the result.
std::string SentMeasure(const wxString& text, std::vector<std::size_t>* sources) {
  std::string out;
  wxUniChar previous = 0;
  std::size_t index = 0;
  for (wxString::const_iterator it = text.begin(); it != text.end(); ++it, ++index) {
    const wxUniChar c = *it;
    std::string bytes;
    if (c == '\n' && previous == '\r')
      bytes.clear();
    else if (c == '\n' || c == '\r')
      bytes = "\r\n";
    else if (c.GetValue() < 0x80)
      bytes = std::string(1, static_cast<char>(c.GetValue()));
    else if (!Cp949::FromWx(wxString(c), &bytes) || bytes.empty())
      bytes = "\xA1\xA1";
    previous = c;
    for (std::size_t i = 0; i < bytes.size(); i += Cp949::IsLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1)
      sources->push_back(index);
    out += bytes;
  }
  return out;
}

// The window's id on the desktop, for the capture (0 when unknown).
Desktop::Window DesktopIdOf(wxWindow* window) {
#ifdef VERADEX_HAVE_GDK_X11
  GtkWidget* widget = window->GetHandle();
  GdkWindow* native = widget != nullptr ? gtk_widget_get_window(widget) : nullptr;
  if (native != nullptr && GDK_IS_X11_WINDOW(native)) return gdk_x11_window_get_xid(native);
#elif defined(__WXMSW__)
  return reinterpret_cast<Desktop::Window>(window->GetHandle());
#else
  (void)window;
#endif
  return 0;
}

// True when text copied in one of this program's own windows is on the
// clipboard: the capture cannot ask these for it while it holds their
// thread, so the view takes it (the toolkit lets go of its copy now, which
// it would not once the capture took the clipboard behind its back) and
// puts it back itself.
bool TakeOwnTextOffClipboard(wxString* text) {
#ifdef VERADEX_HAVE_GDK_X11
  if (gdk_selection_owner_get(GDK_SELECTION_CLIPBOARD) == nullptr) return false;
  wxClipboardLocker locker;
  wxTextDataObject data;
  if (!locker || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT) || !wxTheClipboard->GetData(data)) return false;
  *text = data.GetText();
  wxTheClipboard->Clear();
  return true;
#else
  (void)text;
  return false;
#endif
}

// The e-mail report view as the mail-client capture sees it.
class CaptureHost : public MailClientCapture::Host {
 public:
  explicit CaptureHost(EmailReportPanel& view) : view_(view) {}
  int AttachmentCount() override { return view_.GetAttachmentList()->Count(); }
  void SaveFields() override { view_.SaveFields(); }
  void LoadFields() override { view_.LoadFields(); }
  void AddFile(const std::string& path) override { view_.GetAttachmentList()->AddFile(NativePath::ToWx(path)); }

 private:
  EmailReportPanel& view_;
};

}  // namespace

EmailReportPanel::EmailReportPanel(SkinDialog& window, std::function<void()> closeWindow)
    : window_(window),
      closeWindow_(std::move(closeWindow)),
      link_(new ReportWindowObserver(this)),
      sending_(link_->sending) {
  // Inside the white area right of the categories.
  const int labelX = 180, fieldX = 272;
  // Each field is announced by the label drawn beside it.
  const auto labelled = [](wxTextCtrl* field, SkinLabel* label, const char* name = nullptr) {
    AccessibleInfo::SetLabelledBy(field, label, name != nullptr ? wxString::FromUTF8(name) : wxString());
    return field;
  };
  SkinLabel* label = AddLabel(wxString::FromUTF8(ReportWindowTexts::kNameLabel), wxRect(labelX, 120, 88, 18));
  labelled(AddEdit(Ids::kName, wxRect(fieldX, 116, 220, 26)), label);
  label = AddLabel(wxString::FromUTF8(ReportWindowTexts::kTelephoneLabel), wxRect(labelX, 152, 88, 18));
  labelled(AddEdit(Ids::kTel1, wxRect(fieldX, 148, 56, 26)), label, ReportWindowTexts::kTel1Name)->SetMaxLength(4);
  AddLabel("-", wxRect(fieldX + 58, 152, 10, 18), wxALIGN_CENTRE_HORIZONTAL);
  labelled(AddEdit(Ids::kTel2, wxRect(fieldX + 70, 148, 64, 26)), label, ReportWindowTexts::kTel2Name)->SetMaxLength(5);
  AddLabel("-", wxRect(fieldX + 136, 152, 10, 18), wxALIGN_CENTRE_HORIZONTAL);
  labelled(AddEdit(Ids::kTel3, wxRect(fieldX + 148, 148, 64, 26)), label, ReportWindowTexts::kTel3Name)
      ->SetMaxLength(5);
  label = AddLabel("E-Mail", wxRect(labelX, 184, 88, 18));
  labelled(AddEdit(Ids::kEmail, wxRect(fieldX, 180, 300, 26)), label);
  label = AddLabel(wxString::FromUTF8(ReportWindowTexts::kPasswordLabel), wxRect(labelX, 216, 88, 18));
  labelled(AddEdit(Ids::kPassword, wxRect(fieldX, 212, 140, 26), wxTE_PASSWORD), label);
  label = AddLabel(wxString::FromUTF8(ReportWindowTexts::kPasswordConfirmLabel), wxRect(fieldX + 156, 216, 96, 18));
  labelled(AddEdit(Ids::kPasswordConfirm, wxRect(fieldX + 254, 212, 140, 26), wxTE_PASSWORD), label);
  label = AddLabel(wxString::FromUTF8(ReportWindowTexts::kContentLabel), wxRect(labelX, 248, 88, 18));
  wxTextCtrl* content =
      labelled(AddEdit(Ids::kContent, wxRect(fieldX, 244, 483, 96), wxTE_MULTILINE | wxTE_WORDWRAP), label);
  content->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnContentChanged(); });

  attachmentList_ = new AttachmentList(&window_, Ids::kAttachmentList, wxPoint(fieldX, 348), wxSize(355, 126));
  attachmentList_->SetChangeGuard([this] { return ListChangesAllowed(); });
  attachmentList_->SetCountChangedHandler([this] { UpdateCountLabel(); });
  // Delete removes the ticked rows, as the delete button does.
  attachmentList_->Bind(wxEVT_LIST_KEY_DOWN, [this](wxListEvent& event) {
    if (event.GetKeyCode() == WXK_DELETE || event.GetKeyCode() == WXK_NUMPAD_DELETE)
      OnDeleteChecked();
    else
      event.Skip();
  });
  controls_.push_back(attachmentList_);
  AddLabel(wxString::FromUTF8(ReportWindowTexts::kAttachmentLimitLabel), wxRect(labelX, 350, 88, 36));
  countLabel_ = new WhiteStatic(&window_, Ids::kCountLabel, wxString::FromUTF8(ReportWindowTexts::kCountLabelZero),
                                wxPoint(labelX, 392), wxSize(88, 18));
  controls_.push_back(countLabel_);

  progressBar_ =
      new wxGauge(&window_, Ids::kProgress, 100, wxPoint(fieldX, 491), wxSize(190, 18), wxGA_HORIZONTAL | wxGA_SMOOTH);
  progressBar_->SetValue(100);
  AccessibleInfo::SetName(progressBar_, wxString::FromUTF8(ReportWindowTexts::kProgressName));
  controls_.push_back(progressBar_);

  // Under the send row: what the attached file under the pointer (else the
  // selected one) is.
  previewStrip_ = new MailPreviewStrip(&window_, wxID_ANY, wxPoint(labelX, 522), wxSize(575, 68));
  controls_.push_back(previewStrip_);
  attachmentList_->SetSummaryShownHandler([this](const AttachmentEntry* entry) {
    previewStrip_->ShowSummary(entry != nullptr ? &entry->mail.summary : nullptr);
  });
}

EmailReportPanel::~EmailReportPanel() {
  link_->Detach();
  // A worker that ran from this view may still hold the observer and its
  // flag: they then stay for the rest of the process (in a list that is
  // never destroyed, not even at exit).
  if (!everSent_) {
    delete link_;
    return;
  }
  static auto* retired = new std::vector<std::unique_ptr<ReportWindowObserver>>();
  retired->emplace_back(link_);
}

void EmailReportPanel::CreateButtons() {
  AddButton(Ids::kCloseButton, 80, 26, 144, 140, 144, 140);
  AddButton(Ids::kSend, 80, 26, 195, 223, 195, 223);
  AddButton(Ids::kCapture, 21, 20, 202, 202, 202, 242);
  AddButton(Ids::kDelete, 21, 20, 259, 259, 259, 259);
  AddButton(Ids::kAdd, 21, 20, 203, 204, 203, 243);
  for (int id : {Ids::kCloseButton, Ids::kSend, Ids::kCapture, Ids::kDelete, Ids::kAdd})
    controls_.push_back(buttons_[id]);
  const std::pair<int, const char*> names[] = {{Ids::kCloseButton, ReportWindowTexts::kCloseName},
                                               {Ids::kSend, ReportWindowTexts::kSendName},
                                               {Ids::kCapture, ReportWindowTexts::kCaptureName},
                                               {Ids::kDelete, ReportWindowTexts::kDeleteName},
                                               {Ids::kAdd, ReportWindowTexts::kAddName}};
  for (const auto& name : names) AccessibleInfo::SetName(buttons_[name.first], wxString::FromUTF8(name.second));
  buttons_[Ids::kCloseButton]->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { closeWindow_(); });
  buttons_[Ids::kSend]->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSend(); });
  buttons_[Ids::kAdd]->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAddFiles(); });
  buttons_[Ids::kDelete]->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDeleteChecked(); });
  buttons_[Ids::kCapture]->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCapture(); });
}

void EmailReportPanel::ApplyLayout() {
  const wxSize client = window_.GetClientSize();
  const int w = client.GetWidth(), h = client.GetHeight();
  buttons_[Ids::kSend]->SetSize(w - 310, h - 125, 80, 26);
  buttons_[Ids::kCloseButton]->SetSize(w - 218, h - 125, 80, 26);
  buttons_[Ids::kDelete]->SetSize(633, 431, 21, 20);
  buttons_[Ids::kAdd]->SetSize(633, 413, 21, 20);
  buttons_[Ids::kCapture]->SetSize(633, 391, 21, 20);
}

SkinBitmapButton* EmailReportPanel::AddButton(int id, int width, int height, int up, int down, int focus,
                                              int disabled) {
  SkinBitmapButton* button =
      window_.CreateButton(id, wxString(), wxRect(0, 0, width, height), up, down, focus, disabled);
  buttons_[id] = button;
  return button;
}

wxTextCtrl* EmailReportPanel::AddEdit(int id, const wxRect& rect, long style) {
  wxTextCtrl* edit = nullptr;
  if (id == Ids::kContent)
    edit = new CueEdit(&window_, id, rect.GetPosition(), rect.GetSize(), style);
  else
    edit = new wxTextCtrl(&window_, id, wxString(), rect.GetPosition(), rect.GetSize(), style);
  edits_[id] = edit;
  controls_.push_back(edit);
  return edit;
}

SkinLabel* EmailReportPanel::AddLabel(const wxString& text, const wxRect& rect, long align) {
  SkinLabel* label = window_.CreateLabel(wxID_ANY, text, rect, align);
  controls_.push_back(label);
  return label;
}

void EmailReportPanel::SetupAttachmentList() {
  attachmentList_->SetupColumns();
  attachmentList_->SetupHeaderCheckBox();
  attachmentList_->SetHintText(wxString::FromUTF8(ReportWindowTexts::kDropHint));
  AttachmentList::DropFilter filter;
  filter.flags = AttachmentList::kAcceptFiles | AttachmentList::kAcceptFolders;
  attachmentList_->SetDropFilter(filter);
}

void EmailReportPanel::SwitchCueOff() {
  // Switching the cue off would leave the cue's words behind as content.
  static_cast<CueEdit*>(edits_[Ids::kContent])->SetCueText(wxString());
  edits_[Ids::kContent]->ChangeValue(wxString());
}

void EmailReportPanel::Show(bool show) {
  for (wxWindow* control : controls_) control->Show(show);
}

void EmailReportPanel::LoadProfileFields(const PersonalProfile& profile) {
  SaveFields();
  name_ = Cp949::ToWx(profile.name);
  email_ = Cp949::ToWx(profile.email);
  tel1_ = Cp949::ToWx(profile.tel1);
  tel2_ = Cp949::ToWx(profile.tel2);
  tel3_ = Cp949::ToWx(profile.tel3);
  password_ = Cp949::ToWx(profile.reportPassword);
  passwordConfirm_ = password_;
  LoadFields();
}

void EmailReportPanel::SaveFields() {
  name_ = edits_[Ids::kName]->GetValue();
  tel1_ = edits_[Ids::kTel1]->GetValue();
  tel2_ = edits_[Ids::kTel2]->GetValue();
  tel3_ = edits_[Ids::kTel3]->GetValue();
  email_ = edits_[Ids::kEmail]->GetValue();
  password_ = edits_[Ids::kPassword]->GetValue();
  passwordConfirm_ = edits_[Ids::kPasswordConfirm]->GetValue();
  content_ = edits_[Ids::kContent]->GetValue();
}

void EmailReportPanel::LoadFields() {
  const std::pair<int, const wxString*> fields[] = {
      {Ids::kName, &name_},
      {Ids::kTel1, &tel1_},
      {Ids::kTel2, &tel2_},
      {Ids::kTel3, &tel3_},
      {Ids::kEmail, &email_},
      {Ids::kPassword, &password_},
      {Ids::kPasswordConfirm, &passwordConfirm_},
      {Ids::kContent, &content_},
  };
  // Only what differs is set, so the caret of an unchanged field stays put.
  for (const auto& field : fields)
    if (edits_[field.first]->GetValue() != *field.second) edits_[field.first]->ChangeValue(*field.second);
}

void EmailReportPanel::TransferFieldsToControls() {
  content_ = edits_[Ids::kContent]->GetValue();
  LoadFields();
}

wxTextCtrl* EmailReportPanel::GetEdit(int id) const {
  const auto found = edits_.find(id);
  return found == edits_.end() ? nullptr : found->second;
}

SkinBitmapButton* EmailReportPanel::GetButton(int id) const {
  const auto found = buttons_.find(id);
  return found == buttons_.end() ? nullptr : found->second;
}

int EmailReportPanel::GetProgress() const { return progressBar_->GetValue(); }

wxString EmailReportPanel::GetCountLabel() const { return countLabel_->GetLabel(); }

bool EmailReportPanel::TakesEnter(const wxWindow* focus) const { return focus == GetEdit(Ids::kContent); }

void EmailReportPanel::SetPlainMessageSink(MessageSink* sink) { attachmentList_->SetPlainMessageSink(sink); }

void EmailReportPanel::SetReportHistory(ReportHistory* history) {
  reportHistory_ = history;
  if (history == nullptr)
    attachmentList_->SetAddCheck(nullptr);
  else
    attachmentList_->SetAddCheck([history](const wxString& path, const AttachedMail& mail) {
      return DuplicateQuestion::Allows(*history, path, mail);
    });
}

void EmailReportPanel::OnSend() {
  ReportFormCheck::Fields fields;
  fields.sending = sending_;
  std::string tel2, tel3, content;
  if (!fields.sending) {
    // The fields, each of which must be writable in code page 949.
    SaveFields();
    const struct {
      const char* label;
      const wxString& text;
      std::string* out;
    } converted[] = {
        {ReportWindowTexts::kNameLabel, name_, &fields.name},
        {ReportWindowTexts::kTelephoneLabel, tel1_, &fields.tel1},
        {ReportWindowTexts::kTelephoneLabel, tel2_, &tel2},
        {ReportWindowTexts::kTelephoneLabel, tel3_, &tel3},
        {"E-Mail", email_, &fields.email},
        {ReportWindowTexts::kPasswordLabel, password_, &fields.password},
        {ReportWindowTexts::kPasswordConfirmLabel, passwordConfirm_, &fields.passwordConfirm},
        {ReportWindowTexts::kContentLabel, content_, &content},
    };
    for (const auto& field : converted) {
      if (Cp949::FromWx(field.text, field.out)) continue;
      fields.unstorableField = Utf8Text::ToCp949(field.label);
      break;
    }
  }
  fields.attachmentCount = static_cast<std::size_t>(attachmentList_->Count());
  const FormProblem problem = ReportFormCheck::Check(fields);
  if (problem != FormProblem::kNone) {
    SayBytes(ReportFormCheck::MessageOf(problem, fields.unstorableField));
    if (problem == FormProblem::kPasswordMismatch) {
      password_.clear();
      passwordConfirm_.clear();
      LoadFields();
    }
    return;
  }
  // The attachments, each tested in row order; the first failure ends it.
  const std::vector<wxString> paths = attachmentList_->Paths();
  for (const wxString& path : paths)
    if (!CheckAttachmentFile(path)) return;

  // 9: the worker gets its own copy of the form.
  ReportForm form;
  form.name = fields.name;
  form.email = fields.email;
  form.tel1 = fields.tel1;
  form.tel2 = tel2;
  form.tel3 = tel3;
  // Line breaks go out as CR LF, as the limit counts them.
  form.content = LineBreaks::ToCrLf(content);
  form.password = fields.password;
  for (const wxString& path : paths) form.attachmentPaths.push_back(NativePath::FromWx(path));
  form.attachedMails = attachmentList_->Mails();
  sentPaths_ = paths;
  link_->SetProgramDir(Cp949::FromWxLossy(programDir_));
  sending_ = true;
  everSent_ = true;
  if (!ReportSender::Start(std::move(form), *link_, ServerSettings::Current(), sending_, reportHistory_)) {
    sending_ = false;
    Say(ReportWindowTexts::kSendNotStarted);
  }
}

void EmailReportPanel::OnContentChanged() {
  wxTextCtrl* content = edits_[Ids::kContent];
  const wxString text = content->GetValue();
  std::vector<std::size_t> sources;
  const std::string measure = SentMeasure(text, &sources);
  content_ = text;
  if (!ReportFormCheck::ReachesContentLimit(measure)) return;
  const std::size_t fit = ReportFormCheck::CharactersWithinLimit(measure);
  const std::size_t keep = fit < sources.size() ? sources[fit] : text.length();
  if (keep < text.length()) {
    content_ = text.Left(keep);
    content->ChangeValue(content_);
  }
  content->SetInsertionPointEnd();
  content->ShowPosition(content->GetLastPosition());
  SayBytes(ReportFormCheck::ContentLimitMessage());
}

bool EmailReportPanel::CleanTempFolder() {
  TempFolder::EmptyFiles(Cp949::FromWxLossy(programDir_));
  return true;
}

bool EmailReportPanel::CheckAttachmentFile(const wxString& path) {
  const AttachmentRules::Verdict verdict = AttachmentRules::CheckFile(NativePath::FromWx(path));
  if (!verdict.Passed()) SayBytes(AttachmentRules::MessageOf(verdict));
  return verdict.Passed();
}

bool EmailReportPanel::ListChangesAllowed() const {
  if (!sending_) return true;
  Say(ReportWindowTexts::kListBusy);
  return false;
}

void EmailReportPanel::OnAddFiles() {
  if (!ListChangesAllowed()) return;
  if (attachmentList_->Count() >= AttachmentRules::kMaxFiles)
    return SayBytes(AttachmentRules::MessageOf(AttachmentProblem::kTooMany));
  SaveFields();
  wxArrayString chosen;
  if (fileChooser_) {
    chosen = fileChooser_();
  } else {
    wxFileDialog dialog(&window_, wxString(), wxString(), wxString(),
                        "OutLook Mail (*.eml)|*.eml;*.EML|OutLook Mail (*.msg)|*.msg;*.MSG",
                        wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() == wxID_OK) dialog.GetPaths(chosen);
  }
  for (const wxString& path : chosen) {
    attachmentList_->AddFile(path);
    LoadFields();
  }
}

void EmailReportPanel::OnDeleteChecked() {
  if (!ListChangesAllowed()) return;
  attachmentList_->RemoveChecked();
}

void EmailReportPanel::OnCapture() {
  if (!ListChangesAllowed()) return;
  if (!desktop_) desktop_ = Desktop::CreateNative();
  desktop_->SetOwnWindow(DesktopIdOf(&window_));
  wxString ownCopy;
  const bool ownClipboard = TakeOwnTextOffClipboard(&ownCopy);
  CaptureHost host(*this);
  MailClientCapture(*desktop_, ServerSettings::Current().supportEmail).OnCapture(host, NativePath::FromWx(programDir_));
  if (ownClipboard) {
    wxClipboardLocker locker;
    if (!!locker) wxTheClipboard->SetData(new wxTextDataObject(ownCopy));
  }
}

void EmailReportPanel::SetDesktop(std::unique_ptr<Desktop> desktop) { desktop_ = std::move(desktop); }

void EmailReportPanel::UpdateCountLabel() {
  countLabel_->SetLabel(wxString::Format(wxString::FromUTF8(ReportWindowTexts::kCountLabel), attachmentList_->Count()));
  countLabel_->Refresh();
  countLabel_->Update();
}

void EmailReportPanel::SetProgress(int percent) { progressBar_->SetValue(std::max(0, std::min(100, percent))); }

void EmailReportPanel::OnRunEnded() {
  // Only the description goes; whatever was typed meanwhile elsewhere stays.
  SaveFields();
  content_.clear();
  LoadFields();
}

void EmailReportPanel::OnAttachmentsCleared() {
  // The rows the report took go; a row added in the moment between the end
  // of the run and this notice stays.
  for (int i = attachmentList_->Count() - 1; i >= 0; --i) {
    const wxString& path = attachmentList_->Entry(i).path;
    if (std::find(sentPaths_.begin(), sentPaths_.end(), path) != sentPaths_.end()) attachmentList_->RemoveAt(i);
  }
  sentPaths_.clear();
}

void EmailReportPanel::OnAttachmentsReceived(const std::vector<std::size_t>& received) {
  std::vector<wxString> gone;
  for (std::size_t index : received)
    if (index < sentPaths_.size()) gone.push_back(sentPaths_[index]);
  for (int i = attachmentList_->Count() - 1; i >= 0; --i) {
    const wxString path = attachmentList_->Entry(i).path;
    if (std::find(gone.begin(), gone.end(), path) == gone.end()) continue;
    RemoveCapturedFile(path);
    attachmentList_->RemoveAt(i);
  }
  sentPaths_.clear();
}

void EmailReportPanel::SetOutbox(Outbox* outbox, std::function<void()> onKept) {
  outbox_ = outbox;
  onKept_ = std::move(onKept);
}

void EmailReportPanel::OnSendResult(const SendResult& result) {
  // A new send that began meanwhile owns the list now.
  std::vector<std::string> kept;
  if (outbox_ == nullptr || sending_ || !OutboxOffer::Make(*outbox_, result, MessageSink::Current(), &kept)) return;
  // The report waits in the outbox with copies of its mails: its rows, the
  // captured originals and the description go.
  for (int i = attachmentList_->Count() - 1; i >= 0; --i) {
    const wxString path = attachmentList_->Entry(i).path;
    if (std::find(kept.begin(), kept.end(), NativePath::FromWx(path)) == kept.end()) continue;
    RemoveCapturedFile(path);
    attachmentList_->RemoveAt(i);
  }
  OnRunEnded();
  UpdateCountLabel();
  if (onKept_) onKept_();
}

void EmailReportPanel::RemoveCapturedFile(const wxString& path) {
  // Only mail the capture saved in the temp folder; files the user added
  // from elsewhere are never touched.
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path file(NativePath::FromWx(path));
  if (fs::equivalent(file.parent_path(),
                     fs::path(NativePath::FromWx(Cp949::ToWx(TempFolder::PathOf(Cp949::FromWxLossy(programDir_))))),
                     error) &&
      !error)
    fs::remove(file, error);
}

}  // namespace veradex
