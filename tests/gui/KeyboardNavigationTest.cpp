// The report window without a mouse: keys typed through the X server (XTest),
// so they take the same road as a user's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <wx/utils.h>

#include "gui/GuiTestSupport.h"
#include "gui/ReportWindowSetup.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/CWebBrowser.h"
#include "ui/report/ReportWindow.h"
#include "ui/report/WebEngine.h"

// Last: Xlib's macros would clash with the names above.
#include "gui/KeyboardFocus.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

namespace veradex {
namespace {

using test::WaitFor;

class KeyboardNavigationTest : public test::ReportWindowFixture<> {
 protected:
  void BeforeShow() override { window->Move(0, 0); }
  void SetUp() override {
    if (std::system("command -v xdotool >/dev/null") != 0) GTEST_SKIP() << "xdotool is needed (tools/install-deps.sh)";
    test::ReportWindowFixture<>::SetUp();
    if (HasFatalFailure()) return;
    // Counts the keys the window has taken (modifiers aside).
    window->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
      const int code = event.GetKeyCode();
      if (code == WXK_SHIFT) ++shiftsTaken;
      if (code != WXK_SHIFT && code != WXK_CONTROL && code != WXK_ALT) ++keysTaken;
      event.Skip();
    });
    GiveKeyboard();
  }

  void GiveKeyboard() { ASSERT_TRUE(test::GiveKeyboard(window)); }

  // The id of the control that has the focus (the list's rows count as the list).
  // Asked of GTK, which keys go to (wxWidgets names a focus it has only
  // asked for as given already).
  int FocusedId() const {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window->GetHandle()));
    if (focus == nullptr || !gtk_window_has_toplevel_focus(GTK_WINDOW(window->GetHandle()))) return 0;
    for (wxWindow* child : window->GetChildren()) {
      GtkWidget* widget = child->GetHandle();
      if (child->GetId() > 0 && widget != nullptr && (focus == widget || gtk_widget_is_ancestor(focus, widget)))
        return child->GetId();
    }
    return 0;
  }
  // Types one key, waits until the window has taken it and returns where the
  // focus is then.
  int TypeAndFollow(const char* key) {
    Type(key);
    return FocusedId();
  }
  void ShowMailViewWithFocusOnName() {
    WaitForStartPage();
    GiveKeyboard();
    Press(ReportWindow::kEmailSpam);
    window->Raise();
    Focus(Edit(ReportWindow::kName));
    ASSERT_TRUE(WaitFor([&] { return FocusedId() == ReportWindow::kName; }, std::chrono::seconds(3)));
  }

  // One key typed through the X server (XTest), by its X name ("Tab",
  // "shift+Tab"); returns once the window has taken it.
  void Type(const std::string& name) {
    const int before = keysTaken;
    EXPECT_EQ(std::system(("xdotool key --clearmodifiers " + name).c_str()), 0) << name;
    EXPECT_TRUE(WaitFor([&] { return keysTaken > before; }, std::chrono::seconds(3))) << name << " not taken";
  }

  // Gives a control the focus as a program does. The first key typed after
  // that reaches the window only with the next one, so Shift is typed (it
  // changes nothing) until one has arrived.
  void Focus(wxWindow* control) {
    control->SetFocus();
    const int before = shiftsTaken;
    for (int attempt = 0; attempt < 5 && shiftsTaken == before; ++attempt) {
      EXPECT_EQ(std::system("xdotool key shift"), 0);
      WaitFor([&] { return shiftsTaken > before; }, std::chrono::milliseconds(500));
    }
  }

  int keysTaken = 0;
  int shiftsTaken = 0;
};

TEST_F(KeyboardNavigationTest, TabAndShiftTabWalkTheFormInVisualOrder) {
  ShowMailViewWithFocusOnName();
  const int order[] = {ReportWindow::kName,
                       ReportWindow::kTel1,
                       ReportWindow::kTel2,
                       ReportWindow::kTel3,
                       ReportWindow::kEmail,
                       ReportWindow::kPassword,
                       ReportWindow::kPasswordConfirm,
                       ReportWindow::kContent,
                       ReportWindow::kAttachmentList,
                       ReportWindow::kCapture,
                       ReportWindow::kAdd,
                       ReportWindow::kDelete,
                       ReportWindow::kSend,
                       ReportWindow::kCloseButton,
                       ReportWindow::kMinimise};
  std::vector<int> forward{FocusedId()};
  for (std::size_t i = 1; i < std::size(order); ++i) forward.push_back(TypeAndFollow("Tab"));
  EXPECT_EQ(forward, std::vector<int>(std::begin(order), std::end(order)));
  std::vector<int> backward{FocusedId()};
  for (std::size_t i = 1; i < std::size(order); ++i) backward.push_back(TypeAndFollow("shift+Tab"));
  EXPECT_EQ(backward, std::vector<int>(std::rbegin(order), std::rend(order)));
}

TEST_F(KeyboardNavigationTest, SpaceTicksARowDeleteRemovesTheTickedAndEnterPressesAButton) {
  ShowMailViewWithFocusOnName();
  AttachmentList& list = List();
  ASSERT_EQ(list.AddFile(wxString::FromUTF8(files.Write("one.eml", "Subject: a\r\n\r\nx"))), 1);
  ASSERT_EQ(list.AddFile(wxString::FromUTF8(files.Write("two.eml", "Subject: b\r\n\r\ny"))), 1);
  list.SetItemState(1, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
  Focus(&list);
  ASSERT_TRUE(WaitFor([&] { return FocusedId() == ReportWindow::kAttachmentList; }, std::chrono::seconds(3)));
  Type("space");
  EXPECT_TRUE(WaitFor([&] { return list.IsItemChecked(1); }, std::chrono::seconds(3)));
  EXPECT_FALSE(list.IsItemChecked(0));
  Type("Delete");
  ASSERT_TRUE(WaitFor([&] { return list.Count() == 1; }, std::chrono::seconds(3)));
  EXPECT_EQ(list.Entry(0).name, "one.eml");

  // Enter on a focused button presses it: the close button hides the window.
  Focus(window->GetButton(ReportWindow::kCloseButton));
  ASSERT_TRUE(WaitFor([&] { return FocusedId() == ReportWindow::kCloseButton; }, std::chrono::seconds(3)));
  Type("Return");
  EXPECT_TRUE(WaitFor([&] { return !window->IsShown(); }, std::chrono::seconds(3)));
}

TEST_F(KeyboardNavigationTest, CategoryButtonsSwitchTheViewByKeyboard) {
  // From the form, Shift+Tab reaches the categories; Space on one opens its page.
  ShowMailViewWithFocusOnName();
  EXPECT_EQ(TypeAndFollow("shift+Tab"), ReportWindow::kCodeSpam);
  Focus(window->GetButton(ReportWindow::kPhoneSpam));
  ASSERT_TRUE(WaitFor([&] { return FocusedId() == ReportWindow::kPhoneSpam; }, std::chrono::seconds(3)));
  Type("space");
  EXPECT_TRUE(WaitFor([&] { return window->GetView() == View::kBrowser; }, std::chrono::seconds(3)));
  EXPECT_EQ(window->GetCategory(), Category::kTelephone);
  // With the pointer resting over the page (another process's window), keys
  // still reach the control that has the focus.
  wxWindow* page = window->GetBrowser()->View();
  ASSERT_NE(page, nullptr);
  const wxPoint overPage = page->GetScreenRect().GetPosition() + wxSize(40, 40);
  Display* display = GDK_WINDOW_XDISPLAY(gtk_widget_get_window(window->GetHandle()));
  XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, overPage.x, overPage.y);
  XSync(display, False);
  // And back from the page: the mail category opens the form on its first field.
  Focus(window->GetButton(ReportWindow::kEmailSpam));
  ASSERT_TRUE(WaitFor([&] { return FocusedId() == ReportWindow::kEmailSpam; }, std::chrono::seconds(3)));
  Type("space");
  EXPECT_TRUE(WaitFor([&] { return window->GetView() == View::kEmailReport; }, std::chrono::seconds(3)));
  EXPECT_TRUE(WaitFor([&] { return FocusedId() == ReportWindow::kName; }, std::chrono::seconds(3)));
}

TEST_F(KeyboardNavigationTest, AFieldOfThePageClickedIntoTakesTheKeysTypedOverIt) {
  WebEngineView* engine = LoadedStartPage();
  ASSERT_NE(engine, nullptr);
  GiveKeyboard();
  const auto script = [engine](const char* javascript) { return PageScript(engine, javascript); };
  // Where the page's first text field lies, in the page's own pixels.
  const wxString where = script(
      "(function(){var e=document.querySelector('input[type=text]');if(!e)return '';e.value='';"
      "var r=e.getBoundingClientRect();return Math.round(r.left+6)+' '+Math.round(r.top+r.height/2);})()");
  long x = 0, y = 0;
  ASSERT_TRUE(where.BeforeFirst(' ').ToLong(&x) && where.AfterFirst(' ').ToLong(&y)) << where;
  const wxPoint field = window->GetBrowser()->View()->GetScreenRect().GetPosition() + wxSize(x, y);
  // A click into the field, as a user gives it the focus, and keys typed
  // with the pointer resting there.
  EXPECT_EQ(std::system(wxString::Format("xdotool mousemove %d %d click 1", field.x, field.y).utf8_str()), 0);
  const auto typed = [&] { return script("document.querySelector('input[type=text]').value"); };
  EXPECT_EQ(std::system("xdotool type --delay 50 4321"), 0);
  EXPECT_TRUE(WaitFor([&] { return typed() == "4321"; }, std::chrono::seconds(5))) << typed();
}

// The focus ring on a button, a field and a list row, for review
// (tools/screenshots.sh report-window).
TEST_F(KeyboardNavigationTest, FocusScreenshots) {
  const std::string folder = test::ScreenshotFolder();
  if (folder.empty()) GTEST_SKIP() << "VERADEX_SCREENSHOT_DIR not set";
  ShowMailViewWithFocusOnName();
  ASSERT_EQ(List().AddFile(wxString::FromUTF8(files.Write("spam-one.eml", "Subject: a\r\n\r\nx"))), 1);
  List().SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
  const struct {
    int id;
    const char* file;
  } shots[] = {{ReportWindow::kSend, "focus-button.png"},
               {ReportWindow::kEmail, "focus-field.png"},
               {ReportWindow::kAttachmentList, "focus-list-row.png"}};
  for (const auto& shot : shots) {
    Focus(window->FindWindow(shot.id));
    ASSERT_TRUE(WaitFor([&] { return FocusedId() == shot.id; }, std::chrono::seconds(3)));
    WaitFor([] { return false; }, std::chrono::milliseconds(300));  // painted
    wxExecute(wxString::Format("import -window root %s/%s", folder, shot.file), wxEXEC_SYNC | wxEXEC_NODISABLE);
  }
}

}  // namespace
}  // namespace veradex
