// Tab and Shift+Tab in the log-in, password and settings dialogs, typed
// through the X server (XTest) as a user types them: every control in the
// order the eye reads the dialog, top to bottom, left to right.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include "gui/GuiTestSupport.h"
#include "profile/MemoryProfileStore.h"
#include "profile/PersonalProfile.h"
#include "ui/settings/GeneralPage.h"
#include "ui/settings/LoginDialog.h"
#include "ui/settings/PasswordPage.h"
#include "ui/settings/PasswordSetupDialog.h"
#include "ui/settings/PersonalInfoPage.h"
#include "ui/settings/SettingsDialog.h"
#include "ui/settings/SettingsTexts.h"

// Last: Xlib's macros would clash with the names above.
#include "gui/KeyboardFocus.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

namespace veradex {
namespace {

using test::WaitFor;

// The deepest of the window's descendants that holds GTK's focus (the one
// keys go to), or null.
wxWindow* FocusedIn(wxWindow* window, GtkWidget* focus) {
  for (wxWindow* child : window->GetChildren()) {
    GtkWidget* widget = child->GetHandle();
    if (widget == nullptr || !child->IsShown()) continue;
    if (focus == widget || gtk_widget_is_ancestor(focus, widget)) {
      wxWindow* deeper = FocusedIn(child, focus);
      return deeper != nullptr ? deeper : child;
    }
  }
  return nullptr;
}

wxWindow* ButtonLabelled(wxWindow* dialog, const char* utf8) {
  for (wxWindow* child : dialog->GetChildren())
    if (child->IsShown() && child->GetLabel() == SettingsTexts::Wx(utf8)) return child;
  return nullptr;
}

class DialogTabOrderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v xdotool >/dev/null") != 0) GTEST_SKIP() << "xdotool is needed (tools/install-deps.sh)";
    ProfileStore::SetCurrent(&store);
    PersonalProfile::Global() = PersonalProfile();
  }
  void TearDown() override {
    if (dialog_ != nullptr) test::DestroyAndWait(dialog_);
    ProfileStore::SetCurrent(nullptr);
  }

  // Shows the dialog, hands it the keyboard and counts the Tabs it takes.
  void ShowWithKeyboard(wxDialog* dialog) {
    dialog_ = dialog;
    dialog->Show();
    dialog->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
      if (event.GetKeyCode() == WXK_TAB) ++tabsTaken_;
      event.Skip();
    });
    ASSERT_TRUE(test::GiveKeyboard(dialog));
  }

  wxWindow* Focused() const {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(dialog_->GetHandle()));
    return focus == nullptr ? nullptr : FocusedIn(dialog_, focus);
  }

  // Puts the focus on the first control, then types the key once per
  // further control; the controls the focus was on, in turn.
  std::vector<wxWindow*> Walk(wxWindow* first, std::size_t count, const char* key) {
    first->SetFocus();
    EXPECT_TRUE(WaitFor([&] { return Focused() == first; }, std::chrono::seconds(3)));
    std::vector<wxWindow*> seen{Focused()};
    for (std::size_t typed = 0; seen.size() < count && typed < 3 * count; ++typed) {
      const int before = tabsTaken_;
      EXPECT_EQ(std::system((std::string("xdotool key --clearmodifiers ") + key).c_str()), 0);
      // The first key after a focus set by the program may be lost on its
      // way; typed again until the dialog has one.
      if (!WaitFor([&] { return tabsTaken_ > before; }, std::chrono::milliseconds(700))) continue;
      WaitFor([&] { return Focused() != seen.back(); }, std::chrono::seconds(2));
      seen.push_back(Focused());
    }
    return seen;
  }

  void ExpectOrder(const std::vector<wxWindow*>& order) {
    for (std::size_t i = 0; i < order.size(); ++i) ASSERT_NE(order[i], nullptr) << "control " << i;
    EXPECT_EQ(Walk(order.front(), order.size(), "Tab"), order);
    EXPECT_EQ(Walk(order.back(), order.size(), "shift+Tab"), std::vector<wxWindow*>(order.rbegin(), order.rend()));
  }

  MemoryProfileStore store;
  wxDialog* dialog_ = nullptr;
  int tabsTaken_ = 0;
};

TEST_F(DialogTabOrderTest, LogIn) {
  auto* dialog = new LoginDialog(nullptr);
  ShowWithKeyboard(dialog);
  ExpectOrder({dialog->FindWindow(1015), ButtonLabelled(dialog, "확인"), ButtonLabelled(dialog, "취소")});
}

TEST_F(DialogTabOrderTest, PasswordSetUp) {
  auto* dialog = new PasswordSetupDialog(nullptr);
  ShowWithKeyboard(dialog);
  ExpectOrder({dialog->FindWindow(1014), dialog->FindWindow(1013), ButtonLabelled(dialog, "확인"),
               ButtonLabelled(dialog, "취소")});
}

TEST_F(DialogTabOrderTest, SettingsOnEachPage) {
  auto* dialog = new SettingsDialog(nullptr);
  dialog->LoadPages();
  ShowWithKeyboard(dialog);
  wxWindow* tabs = dialog->FindWindow(1008);
  wxWindow* save = ButtonLabelled(dialog, "저장");
  wxWindow* cancel = ButtonLabelled(dialog, "취소");

  PersonalInfoPage* personal = dialog->PersonalPage();
  dialog->SelectPage(SettingsDialog::kPersonalPage);
  std::vector<wxWindow*> order{tabs};
  for (int id : {PersonalInfoPage::kNameEdit, PersonalInfoPage::kEmailEdit, PersonalInfoPage::kTel1Edit,
                 PersonalInfoPage::kTel2Edit, PersonalInfoPage::kTel3Edit, PersonalInfoPage::kMobile1Edit,
                 PersonalInfoPage::kMobile2Edit, PersonalInfoPage::kMobile3Edit, PersonalInfoPage::kCarrierList,
                 PersonalInfoPage::kReportPasswordEdit})
    order.push_back(personal->FindWindow(id));
  order.insert(order.end(), {save, cancel});
  ExpectOrder(order);

  dialog->SelectPage(SettingsDialog::kGeneralPage);
  GeneralPage* general = dialog->General();
  ExpectOrder({tabs, general->CheckBox(GeneralPage::kUsePasswordBox), general->CheckBox(GeneralPage::kRunAtSysstartBox),
               general->CheckBox(GeneralPage::kHideAtRunBox), save, cancel});

  dialog->SelectPage(SettingsDialog::kPasswordPage);
  PasswordPage* password = dialog->Password();
  ExpectOrder({tabs, password->Edit(PasswordPage::kCurrentEdit), password->Edit(PasswordPage::kNewEdit),
               password->Edit(PasswordPage::kConfirmationEdit), save, cancel});
}

}  // namespace
}  // namespace veradex
