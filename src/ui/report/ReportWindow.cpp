#include "ui/report/ReportWindow.h"

#include <algorithm>
#include <ctime>
#include <future>

#include <wx/filename.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/stdpaths.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "pages/CategoryPageController.h"
#include "pages/CategoryPages.h"
#include "platform/Cp949.h"
#include "platform/Desktop.h"
#include "platform/LockedRandom.h"
#include "platform/TempFolder.h"
#include "profile/PersonalProfile.h"
#include "profile/Preferences.h"
#include "profile/ProfileStore.h"
#include "profile/ServerSettings.h"
#include "report/VersionCheck.h"
#include "ui/report/CWebBrowser.h"
#include "ui/report/CategoryButtonBar.h"
#include "ui/report/EmailReportPanel.h"
#include "ui/report/ReportVersionActions.h"
#include "ui/report/ReportWindowHost.h"
#include "ui/report/ReportWindowTexts.h"
#include "ui/report/Utf8Text.h"
#include "ui/skin/AccessibleInfo.h"
#include "ui/skin/ResourceImages.h"
#include "ui/skin/SkinBitmapButton.h"
#include "ui/skin/SkinLabel.h"
#include "ui/skin/SkinToolTip.h"

namespace veradex {

ReportWindow::ReportWindow() : SkinDialog(kSkinBitmap, 0) {}

ReportWindow::~ReportWindow() = default;

void ReportWindow::SetPageFolders(const std::string& programDirectory, const std::string& fallbackDirectory) {
  pages_ = std::make_unique<CategoryPages>(programDirectory, fallbackDirectory);
}

bool ReportWindow::Create(wxWindow* parent) {
  // 1-2: the window, its icon and its title.
  if (!SkinDialog::Create(parent, wxID_ANY, "Dunmere")) return false;
  // The version page (steps 10-11) is asked for now and comes in while the
  // window is made; what it says is acted on in its place below.
  std::future<NetResult<std::string>> versionPage = VersionCheck::FetchInBackground(ServerSettings::Current());
  // Without a window manager the platform may forget a borderless window's
  // size when it first maps it; the skin's size is set again on every show.
  Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
    if (event.IsShown() && HasSkin() && GetSize() != GetSkinBitmap().GetSize()) SetSize(GetSkinBitmap().GetSize());
    if (event.IsShown()) CallAfter([this] { FocusFirstControl(); });
    event.Skip();
  });
  // Closing from outside (the window manager) only hides the window too.
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
    if (!event.CanVeto()) {
      event.Skip();
      return;
    }
    event.Veto();
    CloseWindow();
  });
  icon_ = ResourceImages::LoadIcon(kIcon);
  if (icon_.IsOk()) SetIcon(icon_);
  SetTitle("Dunmere");

  if (!pages_) pages_ = std::make_unique<CategoryPages>();
  pageCommands_ = std::make_unique<CategoryPageController>(*this, *pages_);

  // 3-4: the controls, their images and places; progress at 100.
  CreateControls();
  ApplyLayout();

  // 5: the random generator.
  LockedRandom::Seed(static_cast<unsigned>(std::time(nullptr)));

  // 6: the program folder and its temporary folder.
  // The e-mail view keeps it (and gives the worker's observer its copy).
  wxString programDir = Cp949::ToWx(Preferences::Load(ProfileStore::Current()).programDir);
  if (programDir.empty()) programDir = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
  if (!programDir.EndsWith(wxFileName::GetPathSeparator())) programDir += wxFileName::GetPathSeparator();
  TempFolder::PathOf(Cp949::FromWxLossy(programDir));  // made when missing
  emailReport_->SetProgramDir(programDir);
  ready_ = true;

  // 7-8: the e-mail report view; the description shows no cue.
  ShowView(View::kEmailReport);
  emailReport_->SwitchCueOff();

  // 9: the version label.
  versionFont_ = wxFont(wxFontInfo(9).Family(wxFONTFAMILY_TELETYPE));
  versionLabel_->SetFont(versionFont_);
  versionLabel_->SetLabel(wxString("Ver ") + VersionCheck::kOwnVersion + "      ");

  // 10-11: the version check (it shows its own messages); without an answer
  // the initialisation ends here, but the e-mail view stays fully usable:
  // a list without its columns would hide the rows it holds.
  ReportVersionActions defaultActions;
  VersionActions& actions = versionActions_ != nullptr ? *versionActions_ : defaultActions;
  const bool versionPassed = VersionCheck::Judge(versionPage.get(), actions, ServerSettings::Current());
  // 12: the attachment list.
  emailReport_->SetupAttachmentList();
  if (!versionPassed) return true;

  // 13: the telephone page (the browser view); 14: the report host's page.
  pageCommands_->RenderCategoryPage(Category::kTelephone);
  browser_->Navigate(wxString::FromUTF8(CategoryPageController::ReportPageUrl().c_str()));

  // 15: the personal data.
  LoadProfileFields();

  // 16-18: tooltips; the shape is the skin's already.
  SetupTooltips();
  initialised_ = true;
  return true;
}

void ReportWindow::CreateControls() {
  // The e-mail report view's form, list and progress bar.
  emailReport_ = std::make_unique<EmailReportPanel>(*this, [this] { CloseWindow(); });

  // Buttons; the layout below gives them their places.
  minimiseButton_ = CreateButton(kMinimise, wxString(), wxRect(0, 0, 30, 30), 300, 301, 300, 299);
  maximiseButton_ = CreateButton(kMaximise, wxString(), wxRect(0, 0, 30, 30), 0, 0, 0, 0);
  maximiseButton_->Hide();
  closeButton_ = CreateButton(kClose, wxString(), wxRect(0, 0, 30, 30), 294, 295, 294, 293);
  emailReport_->CreateButtons();
  menuButton_ = CreateButton(kMenu, wxString(), wxRect(0, 0, 40, 35), 149, 149, 149, 149);
  informationButton_ = CreateButton(kInformation, wxString(), wxRect(0, 0, 40, 35), 0, 0, 0, 0);
  lookupButton_ = CreateButton(kLookup, wxString(), wxRect(0, 0, 40, 35), 152, 152, 152, 152);
  settingsButton_ = CreateButton(kSettings, wxString(), wxRect(0, 0, 40, 35), 151, 151, 151, 151);
  policyButton_ = CreateButton(kPolicy, wxString(), wxRect(0, 0, 40, 35), 0, 0, 0, 0);
  const std::pair<SkinBitmapButton*, const char*> pictureButtonNames[] = {
      {minimiseButton_, ReportWindowTexts::kMinimiseName},
      {closeButton_, ReportWindowTexts::kCloseName},
      {menuButton_, ReportWindowTexts::kMenu},
      {lookupButton_, ReportWindowTexts::kLookup},
      {settingsButton_, ReportWindowTexts::kSettings}};
  for (const auto& button : pictureButtonNames)
    AccessibleInfo::SetName(button.first, wxString::FromUTF8(button.second));
  categoryButtons_ =
      std::make_unique<CategoryButtonBar>(*this, [this](Category category) { pageCommands_->ShowCategory(category); });

  browser_ = new CWebBrowser(this, kBrowser, wxPoint(1, 1), wxSize(1, 1));
  browser_->Bind(EVT_NAVIGATE_COMPLETE2, [this](wxCommandEvent& event) {
    pageCommands_->OnNavigateComplete(std::string(event.GetString().utf8_str()));
  });
  browser_->Bind(EVT_DOCUMENT_COMPLETE, [this](wxCommandEvent&) { pageCommands_->OnDocumentComplete(); });

  versionLabel_ = new SkinLabel(this, kVersionLabel, wxString(), wxPoint(13, 596), wxSize(146, 14), wxALIGN_LEFT,
                                SkinLabel::kSkinShowsThrough);
  versionLabel_->SetForegroundColour(wxColour(200, 210, 225));

  closeButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CloseWindow(); });
  minimiseButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Iconize(true); });
  menuButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    if (tray_ != nullptr) tray_->PopupTrayMenu();
  });
  settingsButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    if (tray_ != nullptr) tray_->OpenSettings(0);
  });
  informationButton_->Bind(wxEVT_BUTTON, [](wxCommandEvent&) {
    wxLaunchDefaultBrowser(ServerSettings::Current().InfoUrl("/ambrel/spam/jsp/spam_4010.jsp"));
  });
  policyButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { pageCommands_->OpenPolicyPage(); });
  lookupButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { pageCommands_->ShowLookupPage(); });
  ApplyTabOrder();
}

const std::vector<int>& ReportWindow::TabOrder() {
  // The window as it is seen: the title bar, the tool buttons, the categories
  // down the left, the page, then the form top to bottom, left to right.
  static const std::vector<int> order = {
      kMinimise,       kClose,     kMenu,      kSettings, kLookup,   kEmailSpam,       kPhoneSpam,
      kResentSpam,     kBoardSpam, kMediaSpam, kFaxSpam,  kCodeSpam, kBrowser,         kName,
      kTel1,           kTel2,      kTel3,      kEmail,    kPassword, kPasswordConfirm, kContent,
      kAttachmentList, kCapture,   kAdd,       kDelete,   kSend,     kCloseButton};
  return order;
}

void ReportWindow::ApplyTabOrder() {
  wxWindow* previous = nullptr;
  for (int id : TabOrder()) {
    wxWindow* control = FindWindow(id);
    if (control == nullptr) continue;
    if (previous != nullptr) control->MoveAfterInTabOrder(previous);
    previous = control;
  }
}

bool ReportWindow::MoveFocus(bool forward) {
  // Tab is walked here rather than left to the toolkit: the controls are
  // drawn ones and an embedded page, and the toolkit's own round skipped some
  // and stayed in others. Inside the page, Tab is the page's.
  const std::vector<int>& order = TabOrder();
  const auto count = static_cast<int>(order.size());
  int current = -1;
  for (wxWindow* w = FindFocus(); w != nullptr && w != this && current < 0; w = w->GetParent()) {
    const auto found = std::find(order.begin(), order.end(), w->GetId());
    if (found != order.end() && FindWindow(w->GetId()) == w) current = static_cast<int>(found - order.begin());
  }
  if (current < 0 || order[static_cast<std::size_t>(current)] == kBrowser) return false;
  for (int step = 1; step < count; ++step) {
    const int index = ((current + (forward ? step : -step)) % count + count) % count;
    wxWindow* control = FindWindow(order[static_cast<std::size_t>(index)]);
    if (control != nullptr && control->IsShownOnScreen() && control->IsEnabled() && control->GetSize().GetWidth() > 1 &&
        control->AcceptsFocusFromKeyboard()) {
      control->SetFocus();
      return true;
    }
  }
  return false;
}

void ReportWindow::FocusFirstControl() {
  // The first field of the form, or on a page the current category's button.
  wxWindow* first =
      view_ == View::kEmailReport ? static_cast<wxWindow*>(GetEdit(kName)) : categoryButtons_->GetCurrentButton();
  if (first != nullptr && first->IsShownOnScreen()) first->SetFocus();
}

void ReportWindow::ApplyLayout() {
  const wxSize client = GetClientSize();
  const int w = client.GetWidth(), h = client.GetHeight();
  minimiseButton_->SetSize(w - 90, 6, 30, 30);
  closeButton_->SetSize(w - 60, 6, 30, 30);
  emailReport_->ApplyLayout();
  menuButton_->SetSize(612, 53, 40, 35);
  settingsButton_->SetSize(658, 53, 40, 35);
  lookupButton_->SetSize(705, 53, 40, 35);
  categoryButtons_->ApplyLayout();
  informationButton_->Hide();
  policyButton_->Hide();

  // The frame decorations and the spare labels exist but are never shown.
  const struct {
    int id, bitmap, x, y, width, height;
  } decorations[] = {{1001, 178, 0, 0, 10, 20},         {1002, 180, w - 10, 0, 10, 20}, {1003, 182, 0, 20, 4, h - 24},
                     {1004, 182, w - 4, 20, 4, h - 24}, {1005, 177, 0, h - 4, 4, 4},    {1006, 165, 4, h - 4, w - 8, 4},
                     {1007, 179, w - 4, h - 4, 4, 4}};
  for (const auto& d : decorations) {
    wxWindow* picture = FindWindow(d.id);
    if (picture == nullptr) picture = CreatePicture(d.id, d.bitmap, wxRect(d.x, d.y, d.width, d.height));
    picture->SetSize(d.x, d.y, d.width, d.height);
    picture->Hide();
  }
  const std::pair<int, const char*> spareLabels[] = {
      {1130, ReportWindowTexts::kMenu}, {1131, ReportWindowTexts::kSettings}, {1132, ReportWindowTexts::kLookup}};
  for (const auto& label : spareLabels) {
    // A size of their own: nothing is measured for a label never shown.
    if (FindWindow(label.first) == nullptr) {
      new wxStaticText(this, label.first, wxString::FromUTF8(label.second), wxDefaultPosition, wxSize(88, 18),
                       wxST_NO_AUTORESIZE);
    }
    FindWindow(label.first)->Hide();
  }
}

void ReportWindow::SetupTooltips() {
  // Over the window's own surface only; the controls show their own tips or none.
  SkinToolTip::SetBackgroundTip(this, "Dunmere");
  menuButton_->SetToolTip(wxString::FromUTF8(ReportWindowTexts::kMenu));
  lookupButton_->SetToolTip(wxString::FromUTF8(ReportWindowTexts::kLookup));
  settingsButton_->SetToolTip(wxString::FromUTF8(ReportWindowTexts::kSettings));
  categoryButtons_->SetupTooltips();
}

void ReportWindow::ShowView(View view) {
  const bool changed = view_ != view;
  view_ = view;
  if (view == View::kEmailReport)
    browser_->SetSize(1, 1, 1, 1);
  else
    browser_->SetSize(159, 105, 610, 490);
  // The hidden page keeps no place in the keyboard's round (it would keep Tab).
  browser_->Enable(view != View::kEmailReport);
  emailReport_->Show(view == View::kEmailReport);
  Refresh();
  if (changed && view == View::kEmailReport && IsShown()) FocusFirstControl();
}

const wxString& ReportWindow::GetProgramDir() const { return emailReport_->ProgramDir(); }

void ReportWindow::LoadProfileFields() {
  if (emailReport_) emailReport_->LoadProfileFields(PersonalProfile::Global());
}

void ReportWindow::RefreshCategoryPage() { pageCommands_->RefreshCategoryPage(); }

Category ReportWindow::GetCategory() const {
  return categoryButtons_ ? categoryButtons_->GetCurrent() : Category::kNone;
}

void ReportWindow::SetCategory(Category category) { categoryButtons_->SetCurrent(category); }

void ReportWindow::Navigate(const std::string& url) { browser_->Navigate(wxString::FromUTF8(url.c_str())); }

std::string ReportWindow::GetLocationName() { return Utf8Text::ToCp949(browser_->GetLocationName()); }

void ReportWindow::TransferFieldsToControls() {
  if (emailReport_) emailReport_->TransferFieldsToControls();
}

void ReportWindow::OpenInDefaultBrowser(const std::string& url) {
  wxLaunchDefaultBrowser(wxString::FromUTF8(url.c_str()));
}

void ReportWindow::SetPlainMessageSink(MessageSink* sink) { emailReport_->SetPlainMessageSink(sink); }

void ReportWindow::SetDesktop(std::unique_ptr<Desktop> desktop) { emailReport_->SetDesktop(std::move(desktop)); }

void ReportWindow::SetReportHistory(ReportHistory* history) { emailReport_->SetReportHistory(history); }

void ReportWindow::SetOutbox(Outbox* outbox, std::function<void()> onKept) {
  emailReport_->SetOutbox(outbox, std::move(onKept));
}

void ReportWindow::ShowEmailView() { pageCommands_->ShowCategory(Category::kEmail); }

AttachmentList* ReportWindow::GetAttachmentList() const { return emailReport_->GetAttachmentList(); }

wxTextCtrl* ReportWindow::GetEdit(int id) const { return emailReport_->GetEdit(id); }

SkinBitmapButton* ReportWindow::GetButton(int id) const {
  for (SkinBitmapButton* button : {minimiseButton_, maximiseButton_, closeButton_, menuButton_, informationButton_,
                                   lookupButton_, settingsButton_, policyButton_})
    if (button != nullptr && button->GetId() == id) return button;
  if (SkinBitmapButton* button = emailReport_->GetButton(id)) return button;
  return categoryButtons_->GetButton(id);
}

void ReportWindow::CloseWindow() {
  emailReport_->SaveFields();
  Hide();
}

bool ReportWindow::OnSkinKey(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  if (key == WXK_ESCAPE) {
    CloseWindow();
    return true;
  }
  if (key == WXK_TAB && !event.ControlDown() && !event.AltDown()) return MoveFocus(!event.ShiftDown());
  if (key != WXK_RETURN && key != WXK_NUMPAD_ENTER) return false;
  wxWindow* focus = FindFocus();
  if (focus != nullptr) {
    if (emailReport_->TakesEnter(focus)) return false;  // a new line in the description
    if (dynamic_cast<SkinBitmapButton*>(focus) != nullptr) return false;
    for (wxWindow* w = focus; w != nullptr; w = w->GetParent())
      if (w == browser_) return false;
  }
  CloseWindow();
  return true;
}

}  // namespace veradex
