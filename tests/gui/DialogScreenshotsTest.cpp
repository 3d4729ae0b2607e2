// Pictures of the password and settings dialogs for a person to look at.
// Runs only when VERADEX_SCREENSHOT_DIR names a folder (tools/screenshots.sh dialogs).
#include <gtest/gtest.h>
#include <wx/textctrl.h>

#include <cstdlib>
#include <string>

#include "GuiTestSupport.h"
#include "platform/Autostart.h"
#include "platform/Cp949.h"
#include "profile/MemoryProfileStore.h"
#include "profile/PersonalProfile.h"
#include "support/TempDir.h"
#include "ui/settings/LoginDialog.h"
#include "ui/settings/PasswordSetupDialog.h"
#include "ui/settings/SettingsDialog.h"

namespace veradex {
namespace {

void Shoot(wxWindow* window, const std::string& dir, const std::string& name) {
  window->Move(40, 40);
  ASSERT_NE(test::ShootWindow(window, dir, name, 10), "") << name;
}

TEST(DialogScreenshots, EveryDialogAndPage) {
  const std::string dir = test::ScreenshotFolder();
  if (dir.empty()) GTEST_SKIP() << "VERADEX_SCREENSHOT_DIR not set";

  MemoryProfileStore store;
  ProfileStore::SetCurrent(&store);
  store.WriteProfileString(profile::kEnvironments, "use_pw", "1");
  PersonalProfile& personal = PersonalProfile::Global();
  personal.name = Cp949::FromWxLossy(wxString::FromUTF8("홍길동"));
  personal.email = "hong@example.com";
  personal.tel1 = "02";
  personal.tel2 = "123";
  personal.tel3 = "4567";
  personal.mtel1 = "010";
  personal.mtel2 = "9876";
  personal.mtel3 = "5432";
  personal.carrier = "KT";
  personal.reportPassword = "singo";

  LoginDialog login;
  login.PasswordEdit()->ChangeValue("secret");
  Shoot(&login, dir, "login");
  login.Hide();

  PasswordSetupDialog setup;
  Shoot(&setup, dir, "password-setup");
  setup.Hide();

  SettingsDialog* settings = new SettingsDialog(nullptr);
  // An autostart entry that exists, in folders of the test's own.
  test::TempDir autostartFolder;
  const Autostart autostart(autostartFolder.Path(), autostartFolder.Path() + "/user", "/opt/veradex/veradex");
  autostart.ApplyAutostart(1);
  settings->SetAutostart(autostart);
  const char* const names[] = {"settings-personal", "settings-general", "settings-password"};
  for (int page = 0; page < 3; ++page) {
    settings->SelectPage(page);
    settings->LoadPages();
    Shoot(settings, dir, names[page]);
  }
  settings->Destroy();
  ProfileStore::SetCurrent(nullptr);
  personal = PersonalProfile();
}

}  // namespace
}  // namespace veradex
