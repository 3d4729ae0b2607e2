#pragma once

#include <string>
#include <utility>

#include "platform/Autostart.h"
#include "ui/skin/SkinDialog.h"

class wxKeyEvent;
class wxTextCtrl;

namespace veradex {

class GeneralPage;
class PasswordPage;
class PersonalInfoPage;
class ProfileChangeListener;
class SkinBitmapButton;
class SkinLabel;
class SkinTabCtrl;

// The modeless, tabbed settings dialog: personal data, the three start-up
// preferences and the program password. Created once by the tray window and
// afterwards only shown and hidden; every opening reloads all pages from the
// profile. Save writes only the page on display, updates the report window
// through its link and hides the dialog; Cancel hides it without writing.
class SettingsDialog : public SkinDialog {
 public:
  enum : int { kPersonalPage = 0, kGeneralPage = 1, kPasswordPage = 2 };

  explicit SettingsDialog(wxWindow* parent = nullptr);

  // Shows the page at index (0 personal data, 1 general, 2 password) and
  // selects its tab; other indexes are ignored.
  void SelectPage(int index);
  // Fills all three pages from the profile and PersonalProfile, discarding
  // anything not saved.
  void LoadPages();
  // Writes the data of one page to the profile; false (and nothing written)
  // when that page holds a text code page 949 cannot store, false too when
  // the profile refused a value.
  bool SavePage(int index);

  // Set by the tray window each time it shows the dialog; may be none.
  void SetProfileChangeListener(ProfileChangeListener* link) { profileChangeListener_ = link; }
  ProfileChangeListener* GetProfileChangeListener() const { return profileChangeListener_; }
  // The autostart entry the general page shows and saving it switches; the
  // program's own unless replaced (tests use temporary folders).
  void SetAutostart(Autostart autostart) { autostart_ = std::move(autostart); }

  // The Save (1036) and Cancel (1018) commands.
  void OnSave();
  void OnCancel();

  int CurrentTab() const;
  SkinTabCtrl* TabControl() const { return tabControl_; }
  PersonalInfoPage* PersonalPage() const { return personalInfoPage_; }
  GeneralPage* General() const { return generalPage_; }
  PasswordPage* Password() const { return passwordPage_; }
  wxWindow* RemoveButton() const;

  static wxString TabText(int index);

 protected:
  bool OnSkinKey(wxKeyEvent& event) override;

 private:
  void OnTabChanged();
  void HideDialog(int result);
  void RefuseUnstorable(int page, wxTextCtrl* edit);
  void FocusPasswordEdit(int id);
  void ApplyAutostart(bool on);

  GeneralPage* generalPage_ = nullptr;
  PersonalInfoPage* personalInfoPage_ = nullptr;
  PasswordPage* passwordPage_ = nullptr;
  wxRect pageRect_;
  ProfileChangeListener* profileChangeListener_ = nullptr;
  Autostart autostart_;

  SkinLabel* captionLabel_ = nullptr;
  SkinTabCtrl* tabControl_ = nullptr;
  SkinBitmapButton* saveButton_ = nullptr;
  SkinBitmapButton* cancelButton_ = nullptr;
  SkinBitmapButton* removeButton_ = nullptr;
};

}  // namespace veradex
