#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <wx/arrstr.h>
#include <wx/font.h>
#include <wx/icon.h>

#include "pages/CategoryPageHost.h"
#include "ui/skin/SkinDialog.h"

class wxGauge;
class wxTextCtrl;

namespace veradex {

class AttachmentList;
class CategoryPageController;
class CategoryPages;
class CWebBrowser;
class Desktop;
class ReportHistory;
class ReportWindowHost;
class ReportWindowObserver;
class SkinBitmapButton;
class SkinLabel;
class VersionActions;
class MessageSink;

// The program's main window: category buttons down the left, tool buttons at
// the top right and a large area that shows either the e-mail report view
// (personal data, description, attachment list, progress, send) or the
// embedded browser with a report page. Created once, hidden, by the tray
// window; closing only hides it.
class ReportWindow : public SkinDialog, public CategoryPageHost {
 public:
  // Control ids of the window.
  enum Id {
    kCountLabel = 1000,
    kMinimise = 1010,
    kMaximise = 1011,
    kClose = 1012,
    kCloseButton = 1023,
    kName = 1040,
    kTel1 = 1041,
    kTel2 = 1042,
    kEmail = 1045,
    kTel3 = 1046,
    kPassword = 1048,
    kPasswordConfirm = 1049,
    kContent = 1050,
    kSend = 1057,
    kCapture = 1058,
    kAdd = 1064,
    kMenu = 1070,
    kInformation = 1071,
    kSettings = 1072,
    kProgress = 1080,
    kLookup = 1085,
    kEmailSpam = 1094,
    kPhoneSpam = 1095,
    kResentSpam = 1096,
    kBoardSpam = 1097,
    kMediaSpam = 1098,
    kFaxSpam = 1100,
    kCodeSpam = 1101,
    kPolicy = 1102,
    kBrowser = 1118,
    kAttachmentList = 1120,
    kDelete = 1121,
    kVersionLabel = 1129,
  };
  static constexpr int kSkinBitmap = 216;
  static constexpr int kIcon = 128;

  ReportWindow();
  ~ReportWindow() override;

  // Creates the window hidden and runs its initialisation (the version check
  // included, which may end the process or stop the initialisation early).
  bool Create(wxWindow* parent = nullptr);

  // 5: the e-mail report view; 0: the browser view.
  void SetDisplayMode(int show) override;
  // Copies the personal data of the profile into the form and the controls.
  void LoadProfileFields();
  // The form fields from the controls (and back).
  void SaveFields();
  void LoadFields();
  // Shows the current category again (after the personal data changed).
  void RefreshCategoryPage();

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

  // Hides the window as the close buttons, Enter and Escape do.
  void CloseWindow();

  // The category commands' view of the window.
  int GetCategory() const override { return category; }
  void SetCategory(int newCategory) override;
  void SetButtonLook(int control, const CategoryPage::Look& look) override;
  void Navigate(const std::string& url) override;
  std::string GetLocationName() override;
  void TransferFieldsToControls() override;
  void OpenInDefaultBrowser(const std::string& url) override;

  // Seams for the tests and the tray window.
  // Chooses files for the add button (default: the open-file dialog).
  void SetFileChooser(std::function<wxArrayString()> chooser) { fileChooser = std::move(chooser); }
  // The desktop the capture button drives (default: this one's).
  void SetDesktop(std::unique_ptr<Desktop> newDesktop);
  // What the version check does on an upgrade (default: browser and exit).
  void SetVersionActions(VersionActions* actions) { versionActions = actions; }
  // Where the category pages are read and written (default: beside the
  // program, else the per-user page folder). Before Create().
  void SetPageFolders(const std::string& programDirectory, const std::string& fallbackDirectory);
  // Where the drop filter's plain notices go (default: the platform box).
  void SetPlainMessageSink(MessageSink* sink);
  // The history the reports are recorded in and that the duplicate question
  // asks (none: nothing kept, nothing asked). It must outlive every report.
  void SetReportHistory(ReportHistory* history);
  // Shows the e-mail report view as its category button does.
  void ShowEmailView() { OnCategoryButton(kEmailSpam); }

  AttachmentList* GetAttachmentList() const { return attachmentList; }
  CWebBrowser* GetBrowser() const { return browser; }
  wxTextCtrl* GetEdit(int id) const;
  SkinBitmapButton* GetButton(int id) const;
  int GetProgress() const;
  wxString GetCountLabel() const;
  // True when the initialisation ran to its end (the version check passed).
  bool IsFullyInitialised() const { return initialised; }

  // Window fields read by other parts of the program.
  int mode = 0;  // 1 e-mail report view, 0 browser view
  wxString programDir;
  bool ready = false;
  ReportWindowHost* tray = nullptr;
  int category = 0;
  wxString nameText, emailText, tel1Text, tel2Text, tel3Text, passwordText, passwordConfirmText, contentText;

 private:
  ReportWindowObserver* link;  // created first: sending below refers into it

 public:
  std::atomic<bool>& sending;

 private:
  void CreateControls();
  void ApplyLayout();
  void SetupTooltips();
  void SetupAttachmentList();
  void RemoveCapturedFile(const wxString& path);
  void OnCategoryButton(int id);
  void UpdateCategoryLooks();
  bool OnSkinKey(wxKeyEvent& event) override;
  bool ListChangesAllowed() const;

  SkinBitmapButton* AddButton(int id, const wxRect& rect, int up, int down, int focus, int disabled);
  wxTextCtrl* AddEdit(int id, const wxRect& rect, long style = 0);
  SkinLabel* AddLabel(const wxString& text, const wxRect& rect, long align = wxALIGN_LEFT);

  std::map<int, SkinBitmapButton*> buttons;
  std::map<int, wxTextCtrl*> edits;
  std::vector<wxWindow*> formControls;
  AttachmentList* attachmentList = nullptr;
  CWebBrowser* browser = nullptr;
  wxGauge* progressBar = nullptr;
  SkinLabel* countLabel = nullptr;
  SkinLabel* versionLabel = nullptr;
  wxFont versionFont;
  wxIcon icon;
  int hoveredCategory = 0;
  bool initialised = false;
  bool everSent = false;
  std::function<wxArrayString()> fileChooser;
  std::unique_ptr<Desktop> desktop;
  VersionActions* versionActions = nullptr;
  ReportHistory* reportHistory = nullptr;
  std::vector<wxString> sentPaths;  // the rows the running (or last) report took
  std::unique_ptr<CategoryPages> pages;
  std::unique_ptr<CategoryPageController> pageCommands;
};

}  // namespace veradex
