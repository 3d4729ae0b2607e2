// The settings dialog shown modelessly, as the tray window shows it, with a
// profile in memory and a stand-in for the report window.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/filefn.h>
#include <wx/textctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "ModalTestSupport.h"
#include "app/StartupSequence.h"
#include "platform/Autostart.h"
#include "platform/Cp949.h"
#include "profile/MemoryProfileStore.h"
#include "profile/PersonalProfile.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "ui/settings/GeneralPage.h"
#include "ui/settings/PasswordPage.h"
#include "ui/settings/PersonalInfoPage.h"
#include "ui/settings/ProfileChangeListener.h"
#include "ui/settings/SettingsDialog.h"
#include "ui/settings/SettingsTexts.h"
#include "ui/skin/SkinLabel.h"
#include "ui/skin/SkinTabCtrl.h"

namespace veradex {
namespace {

// Records the calls and what PersonalProfile held at each.
class FakeReportWindow : public ProfileChangeListener {
 public:
  void LoadProfileFields() override { calls.push_back("LoadProfileFields:" + PersonalProfile::Global().name); }
  void RefreshCategoryPage() override { calls.push_back("RefreshCategoryPage"); }
  std::vector<std::string> calls;
};

// A profile whose writes fail while `refusing` is set (a full disk, a folder
// without write access).
class RefusingProfileStore : public MemoryProfileStore {
 public:
  bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& text) override {
    return !refusing && MemoryProfileStore::WriteProfileString(section, entry, text);
  }
  bool WriteProfileBinary(const std::string& section, const std::string& entry, const std::string& bytes) override {
    return !refusing && MemoryProfileStore::WriteProfileBinary(section, entry, bytes);
  }
  bool refusing = false;
};

class SettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProfileStore::SetCurrent(&store);
    PersonalProfile::Global() = PersonalProfile();
    dialog = new SettingsDialog(nullptr);
    dialog->SetAutostart(autostart);
  }
  void TearDown() override {
    test::DestroyAndWait(dialog);
    ProfileStore::SetCurrent(nullptr);
    PersonalProfile::Global() = PersonalProfile();
  }

  // What the tray window does on a settings command.
  void Open(int page) {
    dialog->SelectPage(page);
    dialog->LoadPages();
    dialog->Show();
    dialog->SetProfileChangeListener(&reportWindow);
  }

  wxTextCtrl* PersonalEdit(int id) { return dialog->PersonalPage()->Edit(id); }
  wxTextCtrl* PasswordEdit(int id) { return dialog->Password()->Edit(id); }
  void Click(int id) {
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(dialog->FindWindow(id));
    dialog->GetEventHandler()->ProcessEvent(event);
  }
  std::string Env(const char* entry) { return store.GetProfileString(profile::kEnvironments, entry, "<none>"); }

  RefusingProfileStore store;
  test::RecordingMessageSink sink;
  test::ScopedMessageSink scopedSink{&sink};
  FakeReportWindow reportWindow;
  // The machine's autostart folder, and the user's below it.
  test::TempDir autostartFolder;
  Autostart autostart{autostartFolder.Path(), autostartFolder.Path() + "/user", "/opt/veradex/veradex"};
  SettingsDialog* dialog = nullptr;
};

TEST_F(SettingsDialogTest, TabsPagesAndTheHiddenRemoveButton) {
  EXPECT_EQ(SettingsDialog::TabText(0), wxString::FromUTF8("      개인정보       "));
  EXPECT_EQ(SettingsDialog::TabText(1), wxString::FromUTF8("      일반설정       "));
  EXPECT_EQ(SettingsDialog::TabText(2), wxString::FromUTF8("      암호변경       "));
  ASSERT_EQ(dialog->TabControl()->GetItemCount(), 3);
  EXPECT_EQ(dialog->TabControl()->GetItemText(1), SettingsDialog::TabText(1));

  Open(1);
  EXPECT_EQ(dialog->CurrentTab(), 1);
  EXPECT_TRUE(dialog->General()->IsShown());
  EXPECT_FALSE(dialog->PersonalPage()->IsShown());
  EXPECT_FALSE(dialog->Password()->IsShown());
  // Every page fills the page area inside the tab control's frame.
  wxRect pageArea = dialog->TabControl()->GetDisplayRect();
  pageArea.Offset(dialog->TabControl()->GetPosition());
  EXPECT_EQ(dialog->General()->GetRect(), pageArea);
  EXPECT_EQ(dialog->Password()->GetRect(), pageArea);

  dialog->SelectPage(3);  // ignored
  dialog->SelectPage(-1);
  EXPECT_EQ(dialog->CurrentTab(), 1);
  EXPECT_TRUE(dialog->General()->IsShown());

  // A click on the third tab shows the password page.
  wxMouseEvent click(wxEVT_LEFT_DOWN);
  const wxRect tab = dialog->TabControl()->GetItemRect(2);
  click.SetPosition(wxPoint(tab.x + tab.width / 2, tab.y + tab.height / 2));
  click.SetEventObject(dialog->TabControl());
  dialog->TabControl()->GetEventHandler()->ProcessEvent(click);
  EXPECT_EQ(dialog->CurrentTab(), 2);
  EXPECT_TRUE(dialog->Password()->IsShown());
  EXPECT_FALSE(dialog->General()->IsShown());
  EXPECT_FALSE(dialog->RemoveButton()->IsShown());
  EXPECT_FALSE(dialog->RemoveButton()->IsShownOnScreen());
}

TEST_F(SettingsDialogTest, APressOnAPageOrItsLabelDragsTheDialog) {
  Open(0);
  auto press = [this](wxWindow* target) {
    wxMouseEvent down(wxEVT_LEFT_DOWN);
    down.SetPosition(wxPoint(2, 2));
    down.SetEventObject(target);
    target->GetEventHandler()->ProcessEvent(down);
    const bool dragging = dialog->IsDragging();
    wxMouseEvent up(wxEVT_LEFT_UP);
    up.SetEventObject(dialog);
    dialog->GetEventHandler()->ProcessEvent(up);
    return dragging;
  };
  EXPECT_TRUE(press(dialog->PersonalPage()));
  wxWindow* label = nullptr;
  for (wxWindow* child : dialog->PersonalPage()->GetChildren()) {
    if (dynamic_cast<SkinLabel*>(child) != nullptr) label = child;
  }
  ASSERT_NE(label, nullptr);
  EXPECT_TRUE(press(label));
  EXPECT_FALSE(press(PersonalEdit(PersonalInfoPage::kNameEdit)));  // an edit keeps its clicks
}

TEST_F(SettingsDialogTest, LoadFillsThePagesAndMatchesTheCarrierIgnoringCase) {
  store.WriteProfileString(profile::kOptions, "Name", "  Kim  ");
  store.WriteProfileString(profile::kOptions, "McomTel", "skt");
  store.WriteProfileString(profile::kEnvironments, "use_pw", "0");  // any text is on
  store.WriteProfileString(profile::kEnvironments, "hide_at_run", "");
  PersonalProfile::Global().Load(store);
  Open(0);

  EXPECT_EQ(PersonalEdit(PersonalInfoPage::kNameEdit)->GetValue(), "Kim");
  wxChoice* carriers = dialog->PersonalPage()->CarrierList();
  ASSERT_EQ(carriers->GetCount(), 4u);
  EXPECT_EQ(carriers->GetString(3), wxString::FromUTF8("기타"));
  EXPECT_EQ(carriers->GetSelection(), 0);
  EXPECT_TRUE(dialog->General()->CheckBox(GeneralPage::kUsePasswordBox)->GetValue());
  EXPECT_FALSE(dialog->General()->CheckBox(GeneralPage::kHideAtRunBox)->GetValue());

  // Saving stores the list's spelling; an unknown carrier becomes "기타".
  Click(1036);
  EXPECT_EQ(store.GetProfileString(profile::kOptions, "McomTel"), "SKT");
  PersonalProfile::Global().carrier = "Tmobile";
  Open(0);
  EXPECT_EQ(carriers->GetCount(), 4u);  // filled once
  EXPECT_EQ(carriers->GetSelection(), 3);
}

TEST_F(SettingsDialogTest, SavingThePersonalPageUpdatesTheProfileAndTheReportWindow) {
  Open(0);
  PersonalEdit(PersonalInfoPage::kNameEdit)->ChangeValue(wxString::FromUTF8("홍길동 "));
  PersonalEdit(PersonalInfoPage::kEmailEdit)->ChangeValue("hong@example.com");
  PersonalEdit(PersonalInfoPage::kTel1Edit)->ChangeValue("02");
  PersonalEdit(PersonalInfoPage::kMobile3Edit)->ChangeValue("5678");
  PersonalEdit(PersonalInfoPage::kReportPasswordEdit)->ChangeValue("singo");
  dialog->PersonalPage()->CarrierList()->SetSelection(2);
  Click(1036);

  const std::string hong = SettingsTexts::Bytes("홍길동");
  EXPECT_EQ(store.GetProfileString(profile::kOptions, "Name"), hong + " ");  // stored untrimmed
  EXPECT_EQ(PersonalProfile::Global().name, hong);                           // used trimmed
  EXPECT_EQ(PersonalProfile::Global().email, "hong@example.com");
  EXPECT_EQ(store.GetProfileString(profile::kOptions, "Tel1"), "02");
  EXPECT_EQ(store.GetProfileString(profile::kOptions, "MTel3"), "5678");
  EXPECT_EQ(store.GetProfileString(profile::kOptions, "McomTel"), "KT");
  EXPECT_EQ(store.GetProfileString(profile::kOptions, "singo_pw"), "singo");
  EXPECT_TRUE(store.HasBinary(profile::kOptions, "Password"));
  EXPECT_EQ(reportWindow.calls, (std::vector<std::string>{"LoadProfileFields:" + hong, "RefreshCategoryPage"}));
  EXPECT_FALSE(dialog->IsShown());
  EXPECT_FALSE(store.Has(profile::kEnvironments, "use_pw"));  // other pages untouched
}

TEST_F(SettingsDialogTest, SavingTheGeneralPageWritesOnlyTheFlagsAndAppliesAutostart) {
  PersonalProfile::Global().name = "Lee";
  Open(0);
  PersonalEdit(PersonalInfoPage::kNameEdit)->ChangeValue("Park");  // lost: another page is saved
  dialog->SelectPage(1);
  dialog->General()->CheckBox(GeneralPage::kRunAtSysstartBox)->SetValue(true);
  dialog->General()->CheckBox(GeneralPage::kUsePasswordBox)->SetValue(true);
  Click(1036);

  EXPECT_EQ(Env("run_at_sysstart"), "1");
  EXPECT_EQ(Env("use_pw"), "1");
  EXPECT_EQ(Env("hide_at_run"), "");
  EXPECT_NE(test::ReadFileBytes(autostart.EntryPath(Autostart::Place::kMachine)).find("\"/opt/veradex/veradex\""),
            std::string::npos);
  EXPECT_FALSE(store.Has(profile::kOptions, "Name"));
  EXPECT_EQ(PersonalProfile::Global().name, "Lee");
  EXPECT_EQ(reportWindow.calls.size(), 2u);

  Open(1);
  EXPECT_EQ(PersonalEdit(PersonalInfoPage::kNameEdit)->GetValue(), "Lee");
  EXPECT_TRUE(dialog->General()->CheckBox(GeneralPage::kRunAtSysstartBox)->GetValue());
  dialog->General()->CheckBox(GeneralPage::kRunAtSysstartBox)->SetValue(false);
  Click(1036);
  EXPECT_EQ(Env("run_at_sysstart"), "");
  EXPECT_FALSE(autostart.IsRegistered());
  EXPECT_EQ(sink.Count(), 0u);
}

// After a restart the autostart box says whether the session will start the
// program, whatever the stored preference says: start-up applies the
// preference to the entry, the page reads the entry back. A folder nobody may
// write is one below a regular file (that stops root too, as in CI).
TEST_F(SettingsDialogTest, AfterARestartTheAutostartBoxShowsWhetherAnEntryExists) {
  struct Case {
    const char* name;
    const char* preference;
    bool machineWritable;
    bool userWritable;
    bool boxTicked;
  };
  const Case cases[] = {
      {"on: the machine's entry", "1", true, true, true},
      {"on, the machine's folder refused: the user's entry", "1", false, true, true},
      {"on, but no place takes an entry", "1", false, false, false},
      {"off", "", true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir folders;
    folders.Write("file", "");
    const std::string blocked = folders.Path() + "/file/autostart";
    const Autostart entry(c.machineWritable ? folders.Path() : blocked,
                          c.userWritable ? folders.Path() + "/user" : blocked, "/opt/veradex/veradex");

    // The start-up's profile steps, on a profile holding the preference.
    StartupSequence::Parts parts;
    parts.openProfile = [&c] {
      auto restarted = std::make_unique<MemoryProfileStore>();
      restarted->WriteProfileString(profile::kEnvironments, "run_at_sysstart", c.preference);
      return std::unique_ptr<ProfileStore>(std::move(restarted));
    };
    parts.autostart = std::make_unique<Autostart>(entry);
    parts.executableDirectory = "/opt/veradex/";
    StartupSequence startup(std::move(parts));
    ASSERT_TRUE(startup.RunProfileSteps());

    dialog->SetAutostart(entry);
    Open(1);
    EXPECT_EQ(dialog->General()->CheckBox(GeneralPage::kRunAtSysstartBox)->GetValue(), c.boxTicked);
    EXPECT_EQ(entry.IsRegistered(), c.boxTicked);

    // Ticking the box where no entry can be written keeps the preference and
    // says that autostart is not set, instead of accepting it silently.
    if (!c.machineWritable && !c.userWritable) {
      dialog->General()->CheckBox(GeneralPage::kRunAtSysstartBox)->SetValue(true);
      Click(1036);
      EXPECT_EQ(startup.Store()->GetProfileString(profile::kEnvironments, "run_at_sysstart"), "1");
      ASSERT_EQ(sink.Count(), 1u);
      EXPECT_EQ(sink.Texts().back(), SettingsTexts::Bytes(SettingsTexts::kAutostartNotWritten));
      EXPECT_FALSE(dialog->IsShown());
    }
  }
  EXPECT_EQ(sink.Count(), 1u);
  ProfileStore::SetCurrent(&store);
}

TEST_F(SettingsDialogTest, PasswordPageRefusesAWrongCurrentPasswordAndADifferingConfirmation) {
  store.WriteProfileString(profile::kEnvironments, "PW", "old");
  Open(2);
  PasswordEdit(PasswordPage::kCurrentEdit)->ChangeValue("OLD");
  PasswordEdit(PasswordPage::kNewEdit)->ChangeValue("new");
  PasswordEdit(PasswordPage::kConfirmationEdit)->ChangeValue("new");
  Click(1036);
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, SettingsTexts::Bytes("인증에 실패하였습니다."));
  EXPECT_EQ(sink.Messages()[0].style, 16u);
  EXPECT_TRUE(dialog->IsShown());
  EXPECT_TRUE(dialog->Password()->IsShown());
  EXPECT_EQ(wxWindow::FindFocus(), PasswordEdit(PasswordPage::kCurrentEdit));
  long from = -1, to = -1;
  PasswordEdit(PasswordPage::kCurrentEdit)->GetSelection(&from, &to);
  EXPECT_EQ(from, 0);
  EXPECT_EQ(to, 3);
  EXPECT_EQ(Env("PW"), "old");

  PasswordEdit(PasswordPage::kCurrentEdit)->ChangeValue("old");
  PasswordEdit(PasswordPage::kConfirmationEdit)->ChangeValue("New");
  Click(1036);
  ASSERT_EQ(sink.Count(), 2u);
  EXPECT_EQ(sink.Messages()[1].text, SettingsTexts::Bytes("입력하신 두 암호가 다릅니다."));
  EXPECT_EQ(wxWindow::FindFocus(), PasswordEdit(PasswordPage::kNewEdit));
  EXPECT_EQ(Env("PW"), "old");
  EXPECT_TRUE(dialog->IsShown());
  EXPECT_TRUE(reportWindow.calls.empty());
}

TEST_F(SettingsDialogTest, PasswordPageStoresTheNewPasswordEvenWhenEmpty) {
  store.WriteProfileString(profile::kEnvironments, "PW", "old");
  Open(2);
  PasswordEdit(PasswordPage::kCurrentEdit)->ChangeValue("old");
  Click(1036);
  EXPECT_EQ(sink.Count(), 0u);
  EXPECT_EQ(Env("PW"), "");
  EXPECT_FALSE(dialog->IsShown());

  // The next opening shows empty password edits.
  PasswordEdit(PasswordPage::kNewEdit)->ChangeValue("left over");
  Open(2);
  EXPECT_TRUE(PasswordEdit(PasswordPage::kNewEdit)->IsEmpty());
}

TEST_F(SettingsDialogTest, AProfileThatCannotBeWrittenKeepsTheDialogOpenAndSaysSo) {
  store.WriteProfileString(profile::kEnvironments, "PW", "old");
  store.refusing = true;
  const std::string notSaved = SettingsTexts::Bytes(SettingsTexts::kNotSavedText);

  // The personal page: the typed name stays and the report window is not told.
  Open(0);
  PersonalEdit(PersonalInfoPage::kNameEdit)->ChangeValue("Hong");
  Click(1036);
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Texts().back(), notSaved);
  EXPECT_TRUE(dialog->IsShown());
  EXPECT_EQ(PersonalEdit(PersonalInfoPage::kNameEdit)->GetValue(), "Hong");
  EXPECT_TRUE(reportWindow.calls.empty());

  // The password page: the new password is not announced as set.
  Open(2);
  PasswordEdit(PasswordPage::kCurrentEdit)->ChangeValue("old");
  PasswordEdit(PasswordPage::kNewEdit)->ChangeValue("new");
  PasswordEdit(PasswordPage::kConfirmationEdit)->ChangeValue("new");
  Click(1036);
  EXPECT_EQ(sink.Count(), 2u);
  EXPECT_EQ(sink.Texts().back(), notSaved);
  EXPECT_TRUE(dialog->IsShown());
  EXPECT_EQ(PasswordEdit(PasswordPage::kNewEdit)->GetValue(), "new");

  // Once the profile takes it again, the same press saves.
  store.refusing = false;
  Click(1036);
  EXPECT_EQ(sink.Count(), 2u);
  EXPECT_EQ(Env("PW"), "new");
  EXPECT_FALSE(dialog->IsShown());
}

TEST_F(SettingsDialogTest, CancelWritesNothing) {
  Open(1);
  dialog->General()->CheckBox(GeneralPage::kHideAtRunBox)->SetValue(true);
  dialog->General()->CheckBox(GeneralPage::kRunAtSysstartBox)->SetValue(true);
  Click(1018);
  EXPECT_FALSE(dialog->IsShown());
  EXPECT_FALSE(store.Has(profile::kEnvironments, "hide_at_run"));
  EXPECT_TRUE(reportWindow.calls.empty());
  EXPECT_FALSE(autostart.IsRegistered());

  // Escape closes it the same way.
  Open(1);
  dialog->General()->CheckBox(GeneralPage::kHideAtRunBox)->SetValue(true);
  test::PressKey(dialog->General()->CheckBox(GeneralPage::kHideAtRunBox), WXK_ESCAPE);
  EXPECT_FALSE(dialog->IsShown());
  EXPECT_FALSE(store.Has(profile::kEnvironments, "hide_at_run"));
}

TEST_F(SettingsDialogTest, NumberEditsTakeOnlyDigitsUpToTheirLimit) {
  Open(0);
  struct Limit {
    int id;
    int length;
  };
  for (const Limit& limit : {Limit{PersonalInfoPage::kTel1Edit, 4}, Limit{PersonalInfoPage::kMobile1Edit, 3},
                             Limit{PersonalInfoPage::kMobile2Edit, 4}}) {
    wxTextCtrl* edit = PersonalEdit(limit.id);
    edit->Clear();
    for (const char digit : std::string("1234567")) edit->WriteText(wxString(digit));  // typed one by one
    EXPECT_EQ(edit->GetValue().length(), static_cast<size_t>(limit.length)) << limit.id;

    wxKeyEvent letter(wxEVT_CHAR);
    letter.m_keyCode = 'a';
    letter.m_uniChar = 'a';
    letter.SetEventObject(edit);
    EXPECT_TRUE(edit->GetEventHandler()->ProcessEvent(letter)) << "a letter is swallowed";
    wxKeyEvent digit(wxEVT_CHAR);
    digit.m_keyCode = '7';
    digit.m_uniChar = '7';
    digit.SetEventObject(edit);
    EXPECT_FALSE(edit->GetEventHandler()->ProcessEvent(digit)) << "a digit goes on to the edit";
  }
  // The name takes anything.
  wxTextCtrl* name = PersonalEdit(PersonalInfoPage::kNameEdit);
  name->WriteText("1234567890abc");
  EXPECT_EQ(name->GetValue(), "1234567890abc");
}

TEST_F(SettingsDialogTest, AStoredNumberLongerThanItsLimitIsKept) {
  PersonalProfile::Global().tel1 = "031234";
  Open(0);
  EXPECT_EQ(PersonalEdit(PersonalInfoPage::kTel1Edit)->GetValue(), "031234");
  Click(1036);
  EXPECT_EQ(store.GetProfileString(profile::kOptions, "Tel1"), "031234");
}

TEST_F(SettingsDialogTest, APersonalTextCodePage949CannotHoldIsRefusedBeforeAnythingIsWritten) {
  Open(0);
  const wxString emoji = wxString::FromUTF8("Kim \xF0\x9F\x98\x80");
  PersonalEdit(PersonalInfoPage::kNameEdit)->ChangeValue(emoji);
  PersonalEdit(PersonalInfoPage::kEmailEdit)->ChangeValue("kim@example.com");
  Click(1036);
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, SettingsTexts::Bytes(SettingsTexts::kUnstorableText));
  EXPECT_TRUE(dialog->IsShown());
  EXPECT_FALSE(store.Has(profile::kOptions, "EMail"));
  EXPECT_EQ(PersonalEdit(PersonalInfoPage::kNameEdit)->GetValue(), emoji);
  EXPECT_TRUE(reportWindow.calls.empty());
}

}  // namespace
}  // namespace veradex
