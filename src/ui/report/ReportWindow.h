#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/font.h>
#include <wx/icon.h>

#include "pages/CategoryPageHost.h"
#include "ui/report/ReportWindowIds.h"
#include "ui/skin/SkinDialog.h"

class wxTextCtrl;

namespace veradex {

class AttachmentList;
class CategoryButtonBar;
class CategoryPageController;
class CategoryPages;
class CWebBrowser;
class Desktop;
class EmailReportPanel;
class MessageSink;
class Outbox;
class ReportHistory;
class ReportWindowHost;
class SkinBitmapButton;
class SkinLabel;
class VersionActions;

// The program's main window: the category buttons down the left
// (CategoryButtonBar), the tool buttons at the top right, and a large area
// that shows either the e-mail report view (EmailReportPanel) or the embedded
// browser with a report page. The window owns the tool buttons, the browser,
// the version label and the page commands, and switches between the views.
// Created once, hidden, by the tray window; closing only hides it.
class ReportWindow : public SkinDialog, public CategoryPageHost, public ReportWindowIds {
 public:
  static constexpr int kSkinBitmap = 216;
  static constexpr int kIcon = 128;

  ReportWindow();
  ~ReportWindow() override;

  // Creates the window hidden and runs its initialisation (the version check
  // included, which may end the process or stop the initialisation early).
  bool Create(wxWindow* parent = nullptr);

  // Copies the personal data of the profile into the form and the controls.
  void LoadProfileFields();
  // Shows the current category again (after the personal data changed).
  void RefreshCategoryPage();
  // Hides the window as the close buttons, Enter and Escape do.
  void CloseWindow();

  // The category commands' view of the window.
  Category GetCategory() const override;
  void SetCategory(Category category) override;
  void Navigate(const std::string& url) override;
  std::string GetLocationName() override;
  void ShowView(View view) override;
  void TransferFieldsToControls() override;
  void OpenInDefaultBrowser(const std::string& url) override;

  // The desktop the capture button drives (default: this one's).
  void SetDesktop(std::unique_ptr<Desktop> desktop);
  // The tray window, which owns this one (its menu and settings commands).
  void SetTray(ReportWindowHost* tray) { tray_ = tray; }
  // What the version check does on an upgrade (default: browser and exit).
  void SetVersionActions(VersionActions* actions) { versionActions_ = actions; }
  // Where the category pages are read and written (default: beside the
  // program, else the per-user page folder). Before Create().
  void SetPageFolders(const std::string& programDirectory, const std::string& fallbackDirectory);
  // Where the drop filter's plain notices go (default: the platform box).
  void SetPlainMessageSink(MessageSink* sink);
  // The history the reports are recorded in and that the duplicate question
  // asks (none: nothing kept, nothing asked). It must outlive every report.
  void SetReportHistory(ReportHistory* history);
  // The outbox a report that could not reach the centre may wait in;
  // onKept runs after one went into it.
  void SetOutbox(Outbox* outbox, std::function<void()> onKept);
  // Shows the e-mail report view as its category button does.
  void ShowEmailView();

  View GetView() const { return view_; }
  // The program folder (ending in the separator), read from the profile.
  const wxString& GetProgramDir() const;
  // The program folder is known and its temp folder exists.
  bool IsReady() const { return ready_; }
  // True when the initialisation ran to its end (the version check passed).
  bool IsFullyInitialised() const { return initialised_; }

  EmailReportPanel& EmailReport() { return *emailReport_; }
  CWebBrowser* GetBrowser() const { return browser_; }
  // Controls of the e-mail report view, and any button of the window.
  AttachmentList* GetAttachmentList() const;
  wxTextCtrl* GetEdit(int id) const;
  SkinBitmapButton* GetButton(int id) const;

 private:
  void CreateControls();
  void ApplyLayout();
  void SetupTooltips();
  static const std::vector<int>& TabOrder();
  void ApplyTabOrder();
  // Tab and Shift+Tab: the next control of TabOrder() that can take the
  // keyboard; false when the focus is in none of them (the page has it).
  bool MoveFocus(bool forward);
  void FocusFirstControl();
  bool OnSkinKey(wxKeyEvent& event) override;

  View view_ = View::kBrowser;
  bool ready_ = false;
  bool initialised_ = false;
  ReportWindowHost* tray_ = nullptr;
  VersionActions* versionActions_ = nullptr;

  std::unique_ptr<EmailReportPanel> emailReport_;
  std::unique_ptr<CategoryButtonBar> categoryButtons_;
  std::unique_ptr<CategoryPages> pages_;
  std::unique_ptr<CategoryPageController> pageCommands_;
  SkinBitmapButton* minimiseButton_ = nullptr;
  SkinBitmapButton* maximiseButton_ = nullptr;
  SkinBitmapButton* closeButton_ = nullptr;
  SkinBitmapButton* menuButton_ = nullptr;
  SkinBitmapButton* informationButton_ = nullptr;
  SkinBitmapButton* lookupButton_ = nullptr;
  SkinBitmapButton* settingsButton_ = nullptr;
  SkinBitmapButton* policyButton_ = nullptr;
  CWebBrowser* browser_ = nullptr;
  SkinLabel* versionLabel_ = nullptr;
  wxFont versionFont_;
  wxIcon icon_;
};

}  // namespace veradex
