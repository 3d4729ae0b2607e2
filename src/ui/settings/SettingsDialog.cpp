#include "ui/settings/SettingsDialog.h"

#include <wx/bookctrl.h>
#include <wx/choice.h>
#include <wx/textctrl.h>

#include "platform/Autostart.h"
#include "platform/Cp949.h"
#include "platform/MessageSink.h"
#include "profile/PersonalProfile.h"
#include "profile/Preferences.h"
#include "profile/ProfileStore.h"
#include "profile/ProgramPassword.h"
#include "ui/settings/GeneralPage.h"
#include "ui/settings/PasswordPage.h"
#include "ui/settings/PersonalInfoPage.h"
#include "ui/settings/ProfileChangeListener.h"
#include "ui/settings/SettingsTexts.h"
#include "ui/skin/SkinBitmapButton.h"
#include "ui/skin/SkinLabel.h"
#include "ui/skin/SkinTabCtrl.h"

namespace veradex {

namespace {

enum : int {
  kTemplateId = 135,
  kSkinBitmap = 266,
  kTabControl = 1008,
  kSaveButton = 1036,
  kCancelButton = 1018,
  kRemoveButton = 1037,
};

// Layout on the 368 x 358 skin, in pixels: the tab control below the title
// band, the pages inside its frame, Save and Cancel centred below it.
const wxRect kTabRect(4, 40, 360, 264);
const wxSize kButtonSize(86, 30);  // 52 x 17 dialog units
constexpr int kButtonTop = 313;

// The carrier list, in this order, unsorted.
const char* const kCarriers[] = {"SKT", "LGT", "KT", "기타"};

// A button handler that runs action.
template <typename Action>
auto Command(Action action) {
  return [action](wxCommandEvent&) { action(); };
}

}  // namespace

wxString SettingsDialog::TabText(int index) {
  static const char* const kWords[] = {"개인정보", "일반설정", "암호변경"};
  if (index < 0 || index > 2) return wxString();
  return wxString(' ', 6) + SettingsTexts::Wx(kWords[index]) + wxString(' ', 7);
}

SettingsDialog::SettingsDialog(wxWindow* parent)
    : SkinDialog(kSkinBitmap, kSkinBitmap),
      applyAutostart([](int on) { return Autostart::ForThisProgram().ApplyAutostart(on); }) {
  const wxString caption = SettingsTexts::Wx(SettingsTexts::kSettingsCaption);
  Create(parent, kTemplateId, caption);
  captionLabel = CreateCaption(caption);

  const int centre = GetClientSize().GetWidth() / 2;
  saveButton =
      CreateButton(kSaveButton, SettingsTexts::Wx("저장"),
                   wxRect(wxPoint(centre - kButtonSize.GetWidth() - 5, kButtonTop), kButtonSize), 159, 160, 158, 162);
  cancelButton = CreateButton(kCancelButton, SettingsTexts::Wx("취소"),
                              wxRect(wxPoint(centre + 5, kButtonTop), kButtonSize), 135, 136, 134, 138);
  // The remove-personal-data button exists but is never shown.
  removeButton = CreateButton(kRemoveButton, SettingsTexts::Wx("개인정보 제거"),
                              wxRect(wxPoint(kTabRect.GetLeft(), kButtonTop), kButtonSize), 159, 160, 158, 162);
  removeButton->Hide();

  SkinTabCtrl::SetTabLook(0x17, 0x17);
  tabControl = new SkinTabCtrl(this, kTabControl, kTabRect.GetPosition(), kTabRect.GetSize());

  // Every page fills the page area inside the tab control's frame.
  pageRect = tabControl->GetDisplayRect();
  pageRect.Offset(tabControl->GetPosition());
  generalPage = new GeneralPage(this, pageRect);
  personalInfoPage = new PersonalInfoPage(this, pageRect);
  passwordPage = new PasswordPage(this, pageRect);

  for (int i = 0; i < 3; ++i) tabControl->InsertItem(i, TabText(i));
  SelectPage(kPersonalPage);
  tabControl->SetBkgndColor(0xFFFFFF);
  tabControl->EnableDraw(2);
  tabControl->Refresh();
  Refresh();

  Bind(wxEVT_BUTTON, Command([this] { OnSave(); }), kSaveButton);
  Bind(wxEVT_BUTTON, Command([this] { OnCancel(); }), kCancelButton);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { OnCancel(); });
  const auto onTabChanged = [this](wxBookCtrlEvent&) { OnTabChanged(); };
  Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, onTabChanged, kTabControl);

  LoadPages();
}

bool SettingsDialog::OnSkinKey(wxKeyEvent& event) {
  // Escape closes the dialog as Cancel does; nothing is written.
  if (event.GetKeyCode() != WXK_ESCAPE) return false;
  OnCancel();
  return true;
}

wxWindow* SettingsDialog::RemoveButton() const { return removeButton; }

int SettingsDialog::CurrentTab() const { return tabControl->GetCurSel(); }

void SettingsDialog::SelectPage(int index) {
  if (index < 0 || index > 2) return;
  wxWindow* const pages[] = {personalInfoPage, generalPage, passwordPage};
  for (int i = 0; i < 3; ++i) {
    if (i == index) {
      pages[i]->SetSize(pageRect);
      pages[i]->Raise();
      pages[i]->Show();
      tabControl->SetCurSel(i);
    } else {
      pages[i]->Hide();
    }
  }
}

void SettingsDialog::LoadPages() {
  captionLabel->SetSize(0, 8, GetClientSize().GetWidth() - 20, 20);

  const PersonalProfile& profile = PersonalProfile::Global();
  PersonalInfoPage& personal = *personalInfoPage;
  personal.email = profile.email;
  personal.mtel1 = profile.mtel1;
  personal.mtel2 = profile.mtel2;
  personal.mtel3 = profile.mtel3;
  personal.name = profile.name;
  personal.tel1 = profile.tel1;
  personal.tel2 = profile.tel2;
  personal.tel3 = profile.tel3;
  personal.reportPassword = profile.reportPassword;

  wxChoice* carriers = personal.CarrierList();
  if (carriers->IsEmpty()) {
    for (const char* carrier : kCarriers) carriers->Append(SettingsTexts::Wx(carrier));
  }
  // Whole-string match ignoring case; anything unknown selects "기타".
  const int match = carriers->FindString(Cp949::ToWx(profile.carrier), false);
  personal.carrier = match != wxNOT_FOUND ? match : 3;
  personal.TransferToControls();

  const Preferences preferences = Preferences::Load(ProfileStore::Current());
  GeneralPage& general = *generalPage;
  general.runAtSysstart = preferences.runAtStart;
  general.hideAtRun = preferences.hideAtRun;
  general.usePassword = preferences.usePassword;
  general.TransferToControls();

  passwordPage->currentPassword.clear();
  passwordPage->newPassword.clear();
  passwordPage->confirmation.clear();
  passwordPage->TransferToControls();

  SelectPage(CurrentTab());
  removeButton->Hide();
}

void SettingsDialog::OnTabChanged() {
  SelectPage(CurrentTab());
  removeButton->Hide();
}

bool SettingsDialog::SavePage(int index) {
  wxTextCtrl* unstorable = nullptr;
  const bool personalTaken = personalInfoPage->TransferFromControls(&unstorable);
  generalPage->TransferFromControls();
  const bool passwordTaken = passwordPage->TransferFromControls(&unstorable);

  ProfileStore& store = ProfileStore::Current();
  switch (index) {
    case kPersonalPage: {
      if (!personalTaken) return false;
      const PersonalInfoPage& page = *personalInfoPage;
      PersonalProfile& profile = PersonalProfile::Global();
      profile.email = page.email;
      profile.mtel1 = page.mtel1;
      profile.mtel2 = page.mtel2;
      profile.mtel3 = page.mtel3;
      profile.name = page.name;
      profile.tel1 = page.tel1;
      profile.tel2 = page.tel2;
      profile.tel3 = page.tel3;
      profile.reportPassword = page.reportPassword;
      const int position = page.carrier;
      profile.carrier = SettingsTexts::Bytes(position >= 0 && position <= 2 ? kCarriers[position] : kCarriers[3]);
      return profile.Save(store);
    }
    case kGeneralPage: {
      Preferences preferences;
      preferences.hideAtRun = generalPage->hideAtRun;
      preferences.runAtStart = generalPage->runAtSysstart;
      preferences.usePassword = generalPage->usePassword;
      return preferences.Save(store);
    }
    case kPasswordPage:
      if (!passwordTaken) return false;
      return ProgramPassword(store).Set(passwordPage->newPassword);
    default:
      return true;
  }
}

void SettingsDialog::RefuseUnstorable(int page, wxTextCtrl* edit) {
  MessageSink::Current().ShowMessage(SettingsTexts::Bytes(SettingsTexts::kUnstorableText), kStyleStop);
  SelectPage(page);
  if (edit != nullptr) {
    edit->SelectAll();
    edit->SetFocus();
  }
}

void SettingsDialog::FocusPasswordEdit(int id) {
  SelectPage(kPasswordPage);
  wxTextCtrl* edit = passwordPage->Edit(id);
  edit->SelectAll();
  edit->ShowPosition(edit->GetLastPosition());
  edit->SetFocus();
}

void SettingsDialog::OnSave() {
  const int index = CurrentTab();
  wxTextCtrl* unstorable = nullptr;
  if (index == kPasswordPage) {
    if (!passwordPage->TransferFromControls(&unstorable)) {
      RefuseUnstorable(kPasswordPage, unstorable);
      return;
    }
    if (!ProgramPassword(ProfileStore::Current()).Matches(passwordPage->currentPassword)) {
      MessageSink::Current().ShowMessage(SettingsTexts::Bytes(SettingsTexts::kAuthenticationFailed), kStyleStop);
      FocusPasswordEdit(PasswordPage::kCurrentEdit);
      return;
    }
    if (passwordPage->newPassword != passwordPage->confirmation) {
      MessageSink::Current().ShowMessage(SettingsTexts::Bytes(SettingsTexts::kPasswordsDiffer), kStyleStop);
      FocusPasswordEdit(PasswordPage::kNewEdit);
      return;
    }
  } else if (index == kGeneralPage) {
    generalPage->TransferFromControls();
  } else if (index == kPersonalPage) {
    // A name or number code page 949 cannot hold is refused before anything
    // is written; the page keeps what the user typed.
    if (!personalInfoPage->TransferFromControls(&unstorable)) {
      RefuseUnstorable(kPersonalPage, unstorable);
      return;
    }
  }

  if (!SavePage(index)) {
    // Not stored: the dialog stays open with everything as typed, so the
    // user can try again instead of believing it saved.
    MessageSink::Current().ShowMessage(SettingsTexts::Bytes(SettingsTexts::kNotSavedText), kStyleStop);
    return;
  }
  if (index == kGeneralPage && applyAutostart) applyAutostart(generalPage->runAtSysstart ? 1 : 0);
  if (profileChangeListener != nullptr) {
    profileChangeListener->LoadProfileFields();
    profileChangeListener->RefreshCategoryPage();
  }
  HideDialog(kIdOk);
}

void SettingsDialog::OnCancel() { HideDialog(kIdCancel); }

void SettingsDialog::HideDialog(int result) {
  if (IsModal()) {
    EndModal(result);
    return;
  }
  Hide();
}

}  // namespace veradex
