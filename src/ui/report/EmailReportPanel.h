#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <wx/arrstr.h>
#include <wx/gdicmn.h>
#include <wx/string.h>

class wxGauge;
class wxTextCtrl;
class wxWindow;

namespace veradex {

class AttachmentList;
class MailPreviewStrip;
class Desktop;
class MessageSink;
class Outbox;
class PersonalProfile;
class ReportHistory;
class ReportWindowObserver;
class SkinBitmapButton;
class SkinDialog;
class SkinLabel;
struct SendResult;

// The e-mail report view of the report window: the personal data, the
// description, the attachment list with its add, capture and delete buttons
// and its count, the progress bar, and the send and close buttons. It checks
// the form, starts the report worker and takes the worker's notices.
//
// Its controls are children of the window itself, placed in the window's
// client coordinates: the skin shows around them and the window is dragged
// from its labels, as from every other part of its surface. The window shows
// and hides them all together with Show().
class EmailReportPanel {
 public:
  // closeWindow: what the close button does (the window hides itself).
  EmailReportPanel(SkinDialog& window, std::function<void()> closeWindow);
  ~EmailReportPanel();
  EmailReportPanel(const EmailReportPanel&) = delete;
  EmailReportPanel& operator=(const EmailReportPanel&) = delete;

  // The view's buttons, created after the window's title buttons (the order
  // of the controls is the tab order).
  void CreateButtons();
  // Send and close at (W - 310, H - 125) and (W - 218, H - 125) of the
  // client size, the attachment buttons beside the list.
  void ApplyLayout();
  // The columns, header box, hint and drop filter of the list.
  void SetupAttachmentList();
  // The description edit shows no cue.
  void SwitchCueOff();
  // Shows or hides every control of the view.
  void Show(bool show);

  // The program folder (ending in the separator): its temp folder holds the
  // captured mail.
  void SetProgramDir(const wxString& programDir) { programDir_ = programDir; }
  const wxString& ProgramDir() const { return programDir_; }

  // Copies the personal data into the form and the controls.
  void LoadProfileFields(const PersonalProfile& profile);
  // The form fields from the controls (and back).
  void SaveFields();
  void LoadFields();
  // The stored fields into the controls; what is typed in the description
  // stays (it is not part of the stored data).
  void TransferFieldsToControls();

  // The send button: checks the form and starts the report worker.
  void OnSend();
  // The description changed: keeps it below the byte limit.
  void OnContentChanged();
  // Deletes the files in the temporary folder; sub-folders stay.
  bool CleanTempFolder();
  // The send-time test of one attached file.
  static bool CheckAttachmentFile(const wxString& path);

  // The attachment buttons.
  void OnAddFiles();
  void OnDeleteChecked();
  void OnCapture();
  // The count label "[총 %d개 첨부]".
  void UpdateCountLabel();

  // Notices of the report worker (on the GUI thread).
  void SetProgress(int percent);
  void OnRunEnded();
  void OnAttachmentsCleared();
  // Some reports were received, others not: the received rows (indices in
  // the run's list) go with their captured mail; the rest stay.
  void OnAttachmentsReceived(const std::vector<std::size_t>& received);
  // The run's last notice: after a send that could not reach the centre,
  // offers to keep the report in the outbox; kept, its rows and the
  // description go.
  void OnSendResult(const SendResult& result);

  // Chooses files for the add button (default: the open-file dialog).
  void SetFileChooser(std::function<wxArrayString()> chooser) { fileChooser_ = std::move(chooser); }
  // The desktop the capture button drives (default: this one's).
  void SetDesktop(std::unique_ptr<Desktop> desktop);
  // Where the drop filter's plain notices go (default: the platform box).
  void SetPlainMessageSink(MessageSink* sink);
  // The history the reports are recorded in and that the duplicate question
  // asks (none: nothing kept, nothing asked). It must outlive every report.
  void SetReportHistory(ReportHistory* history);
  // The outbox a report that could not reach the centre may wait in (none:
  // not offered); onKept runs after a report went into it.
  void SetOutbox(Outbox* outbox, std::function<void()> onKept);

  // A report is being sent; the worker clears the flag when it ends.
  bool IsSending() const { return sending_; }
  std::atomic<bool>& SendingFlag() { return sending_; }

  AttachmentList* GetAttachmentList() const { return attachmentList_; }
  MailPreviewStrip* GetPreviewStrip() const { return previewStrip_; }
  wxTextCtrl* GetEdit(int id) const;
  SkinBitmapButton* GetButton(int id) const;
  int GetProgress() const;
  wxString GetCountLabel() const;
  // True for the description edit, where Enter starts a new line.
  bool TakesEnter(const wxWindow* focus) const;

 private:
  wxTextCtrl* AddEdit(int id, const wxRect& rect, long style = 0);
  SkinLabel* AddLabel(const wxString& text, const wxRect& rect, long align = 0);
  SkinBitmapButton* AddButton(int id, int width, int height, int up, int down, int focus, int disabled);
  bool ListChangesAllowed() const;
  void RemoveCapturedFile(const wxString& path);

  SkinDialog& window_;
  std::function<void()> closeWindow_;
  ReportWindowObserver* link_;  // created first: sending_ refers into it
  std::atomic<bool>& sending_;
  bool everSent_ = false;

  std::map<int, wxTextCtrl*> edits_;
  std::map<int, SkinBitmapButton*> buttons_;
  std::vector<wxWindow*> controls_;  // everything the view shows and hides
  AttachmentList* attachmentList_ = nullptr;
  wxGauge* progressBar_ = nullptr;
  SkinLabel* countLabel_ = nullptr;
  MailPreviewStrip* previewStrip_ = nullptr;

  wxString programDir_;
  wxString name_, email_, tel1_, tel2_, tel3_, password_, passwordConfirm_, content_;
  std::vector<wxString> sentPaths_;  // the rows the running (or last) report took
  std::function<wxArrayString()> fileChooser_;
  std::unique_ptr<Desktop> desktop_;
  ReportHistory* reportHistory_ = nullptr;
  Outbox* outbox_ = nullptr;
  std::function<void()> onKept_;
};

}  // namespace veradex
