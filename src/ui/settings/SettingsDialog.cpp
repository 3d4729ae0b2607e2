#include "ui/settings/SettingsDialog.h"

#include <initializer_list>

#include <wx/bookctrl.h>
#include <wx/choice.h>
#include <wx/textctrl.h>

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
#include "ui/settings/StorableText.h"
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

// The texts of the personal page, each with the profile's field it shows.
struct PersonalField {
  std::string PersonalInfoPage::Fields::*page;
  std::string PersonalProfile::*profile;
};
const PersonalField kPersonalFields[] = {
    {&PersonalInfoPage::Fields::name, &PersonalProfile::name},
    {&PersonalInfoPage::Fields::email, &PersonalProfile::email},
    {&PersonalInfoPage::Fields::tel1, &PersonalProfile::tel1},
    {&PersonalInfoPage::Fields::tel2, &PersonalProfile::tel2},
    {&PersonalInfoPage::Fields::tel3, &PersonalProfile::tel3},
    {&PersonalInfoPage::Fields::mtel1, &PersonalProfile::mtel1},
    {&PersonalInfoPage::Fields::mtel2, &PersonalProfile::mtel2},
    {&PersonalInfoPage::Fields::mtel3, &PersonalProfile::mtel3},
    {&PersonalInfoPage::Fields::reportPassword, &PersonalProfile::reportPassword},
};

}  // namespace

wxString SettingsDialog::TabText(int index) {
  static const char* const kWords[] = {"개인정보", "일반설정", "암호변경"};
  if (index < 0 || index > 2) return wxString();
  return wxString(' ', 6) + SettingsTexts::Wx(kWords[index]) + wxString(' ', 7);
}

SettingsDialog::SettingsDialog(wxWindow* parent)
    : SkinDialog(kSkinBitmap, kSkinBitmap), autostart_(Autostart::ForThisProgram()) {
  const wxString caption = SettingsTexts::Wx(SettingsTexts::kSettingsCaption);
  Create(parent, kTemplateId, caption);
  captionLabel_ = CreateCaption(caption);

  const int centre = GetClientSize().GetWidth() / 2;
  saveButton_ =
      CreateButton(kSaveButton, SettingsTexts::Wx("저장"),
                   wxRect(wxPoint(centre - kButtonSize.GetWidth() - 5, kButtonTop), kButtonSize), 159, 160, 158, 162);
  cancelButton_ = CreateButton(kCancelButton, SettingsTexts::Wx("취소"),
                               wxRect(wxPoint(centre + 5, kButtonTop), kButtonSize), 135, 136, 134, 138);
  // The remove-personal-data button exists but is never shown.
  removeButton_ = CreateButton(kRemoveButton, SettingsTexts::Wx("개인정보 제거"),
                               wxRect(wxPoint(kTabRect.GetLeft(), kButtonTop), kButtonSize), 159, 160, 158, 162);
  removeButton_->Hide();

  SkinTabCtrl::SetTabLook(0x17, 0x17);
  tabControl_ = new SkinTabCtrl(this, kTabControl, kTabRect.GetPosition(), kTabRect.GetSize());

  // Every page fills the page area inside the tab control's frame.
  pageRect_ = tabControl_->GetDisplayRect();
  pageRect_.Offset(tabControl_->GetPosition());
  generalPage_ = new GeneralPage(this, pageRect_);
  personalInfoPage_ = new PersonalInfoPage(this, pageRect_);
  passwordPage_ = new PasswordPage(this, pageRect_);
  // The keyboard's round follows the eye: the tabs, the page under them,
  // then Save and Cancel (they were made first).
  tabControl_->MoveBeforeInTabOrder(saveButton_);
  wxWindow* previous = tabControl_;
  for (wxWindow* page : std::initializer_list<wxWindow*>{personalInfoPage_, generalPage_, passwordPage_}) {
    page->MoveAfterInTabOrder(previous);
    previous = page;
  }

  for (int i = 0; i < 3; ++i) tabControl_->InsertItem(i, TabText(i));
  SelectPage(kPersonalPage);
  tabControl_->SetBkgndColor(0xFFFFFF);
  tabControl_->EnableDraw(2);
  tabControl_->Refresh();
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

wxWindow* SettingsDialog::RemoveButton() const { return removeButton_; }

int SettingsDialog::CurrentTab() const { return tabControl_->GetCurSel(); }

void SettingsDialog::SelectPage(int index) {
  if (index < 0 || index > 2) return;
  wxWindow* const pages[] = {personalInfoPage_, generalPage_, passwordPage_};
  for (int i = 0; i < 3; ++i) {
    if (i == index) {
      pages[i]->SetSize(pageRect_);
      pages[i]->Raise();
      pages[i]->Show();
      tabControl_->SetCurSel(i);
    } else {
      pages[i]->Hide();
    }
  }
}

void SettingsDialog::LoadPages() {
  captionLabel_->SetSize(0, 8, GetClientSize().GetWidth() - 20, 20);

  const PersonalProfile& profile = PersonalProfile::Global();
  PersonalInfoPage::Fields& personal = personalInfoPage_->Data();
  for (const PersonalField& field : kPersonalFields) personal.*field.page = profile.*field.profile;

  wxChoice* carriers = personalInfoPage_->CarrierList();
  if (carriers->IsEmpty()) {
    for (const char* carrier : kCarriers) carriers->Append(SettingsTexts::Wx(carrier));
  }
  // Whole-string match ignoring case; anything unknown selects "기타".
  const int match = carriers->FindString(Cp949::ToWx(profile.carrier), false);
  personal.carrier = match != wxNOT_FOUND ? match : 3;
  personalInfoPage_->TransferToControls();

  const Preferences preferences = Preferences::Load(ProfileStore::Current());
  GeneralPage::Fields& general = generalPage_->Data();
  // The box says whether the session will start the program: an entry that
  // could not be written leaves it empty even with the preference on.
  general.runAtSysstart = autostart_.IsRegistered();
  general.hideAtRun = preferences.hideAtRun;
  general.usePassword = preferences.usePassword;
  generalPage_->TransferToControls();

  passwordPage_->Data() = PasswordPage::Fields();
  passwordPage_->TransferToControls();

  SelectPage(CurrentTab());
  removeButton_->Hide();
}

void SettingsDialog::OnTabChanged() {
  SelectPage(CurrentTab());
  removeButton_->Hide();
}

bool SettingsDialog::SavePage(int index) {
  wxTextCtrl* unstorable = nullptr;
  const bool personalTaken = personalInfoPage_->TransferFromControls(&unstorable);
  generalPage_->TransferFromControls();
  const bool passwordTaken = passwordPage_->TransferFromControls(&unstorable);

  ProfileStore& store = ProfileStore::Current();
  switch (index) {
    case kPersonalPage: {
      if (!personalTaken) return false;
      const PersonalInfoPage::Fields& page = personalInfoPage_->Data();
      PersonalProfile& profile = PersonalProfile::Global();
      for (const PersonalField& field : kPersonalFields) profile.*field.profile = page.*field.page;
      const int position = page.carrier;
      profile.carrier = SettingsTexts::Bytes(position >= 0 && position <= 2 ? kCarriers[position] : kCarriers[3]);
      return profile.Save(store);
    }
    case kGeneralPage: {
      Preferences preferences;
      const GeneralPage::Fields& general = generalPage_->Data();
      preferences.hideAtRun = general.hideAtRun;
      preferences.runAtStart = general.runAtSysstart;
      preferences.usePassword = general.usePassword;
      return preferences.Save(store);
    }
    case kPasswordPage:
      if (!passwordTaken) return false;
      return ProgramPassword(store).Set(passwordPage_->Data().newPassword);
    default:
      return true;
  }
}

void SettingsDialog::RefuseUnstorable(int page, wxTextCtrl* edit) {
  SelectPage(page);
  StorableText::Refuse(edit);
}

void SettingsDialog::FocusPasswordEdit(int id) {
  SelectPage(kPasswordPage);
  wxTextCtrl* edit = passwordPage_->Edit(id);
  edit->SelectAll();
  edit->ShowPosition(edit->GetLastPosition());
  edit->SetFocus();
}

void SettingsDialog::OnSave() {
  const int index = CurrentTab();
  wxTextCtrl* unstorable = nullptr;
  if (index == kPasswordPage) {
    if (!passwordPage_->TransferFromControls(&unstorable)) {
      RefuseUnstorable(kPasswordPage, unstorable);
      return;
    }
    if (!ProgramPassword(ProfileStore::Current()).Matches(passwordPage_->Data().currentPassword)) {
      MessageSink::Current().ShowMessage(SettingsTexts::Bytes(SettingsTexts::kAuthenticationFailed), kStyleStop);
      FocusPasswordEdit(PasswordPage::kCurrentEdit);
      return;
    }
    if (passwordPage_->Data().newPassword != passwordPage_->Data().confirmation) {
      MessageSink::Current().ShowMessage(SettingsTexts::Bytes(SettingsTexts::kPasswordsDiffer), kStyleStop);
      FocusPasswordEdit(PasswordPage::kNewEdit);
      return;
    }
  } else if (index == kGeneralPage) {
    generalPage_->TransferFromControls();
  } else if (index == kPersonalPage) {
    // A name or number code page 949 cannot hold is refused before anything
    // is written; the page keeps what the user typed.
    if (!personalInfoPage_->TransferFromControls(&unstorable)) {
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
  if (index == kGeneralPage) ApplyAutostart(generalPage_->Data().runAtSysstart);
  if (profileChangeListener_ != nullptr) {
    profileChangeListener_->LoadProfileFields();
    profileChangeListener_->RefreshCategoryPage();
  }
  HideDialog(kIdOk);
}

void SettingsDialog::ApplyAutostart(bool on) {
  autostart_.ApplyAutostart(on ? 1 : 0);
  // The preference is stored either way (and every start applies it again);
  // the user hears when the entry does not follow it.
  if (autostart_.IsRegistered() == on) return;
  MessageSink::Current().ShowMessage(
      SettingsTexts::Bytes(on ? SettingsTexts::kAutostartNotWritten : SettingsTexts::kAutostartNotRemoved), kStyleStop);
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
