// The report window without a mouse: keys typed through the X server (XTest),
// so they take the same road as a user's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/uiaction.h>
#include <wx/utils.h>

#include "gui/GuiTestSupport.h"
#include "gui/ReportWindowSetup.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/ReportWindow.h"

namespace veradex {
namespace {

using test::WaitFor;

class KeyboardNavigationTest : public test::ReportWindowFixture<> {
 protected:
  void BeforeShow() override { window->Move(0, 0); }

  // The id of the control that has the focus (the list's rows count as the list).
  int FocusedId() const {
    for (wxWindow* w = wxWindow::FindFocus(); w != nullptr; w = w->GetParent())
      if (w->GetId() > 0 && w != window) return w->GetId();
    return 0;
  }
  // Types one key and waits until the focus has left `from` (or a moment passed).
  int TypeAndFollow(int key, int modifiers = wxMOD_NONE) {
    const int before = FocusedId();
    keys.Char(key, modifiers);
    WaitFor([&] { return FocusedId() != before; }, std::chrono::seconds(2));
    return FocusedId();
  }
  void ShowMailViewWithFocusOnName() {
    WaitForStartPage();
    Press(ReportWindow::kEmailSpam);
    window->Raise();
    Edit(ReportWindow::kName)->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return FocusedId() == ReportWindow::kName; }, std::chrono::seconds(3)));
  }

  wxUIActionSimulator keys;
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
  for (std::size_t i = 1; i < std::size(order); ++i) forward.push_back(TypeAndFollow(WXK_TAB));
  EXPECT_EQ(forward, std::vector<int>(std::begin(order), std::end(order)));
  std::vector<int> backward{FocusedId()};
  for (std::size_t i = 1; i < std::size(order); ++i) backward.push_back(TypeAndFollow(WXK_TAB, wxMOD_SHIFT));
  EXPECT_EQ(backward, std::vector<int>(std::rbegin(order), std::rend(order)));
}

TEST_F(KeyboardNavigationTest, SpaceTicksARowDeleteRemovesTheTickedAndEnterPressesAButton) {
  ShowMailViewWithFocusOnName();
  AttachmentList& list = List();
  ASSERT_EQ(list.AddFile(wxString::FromUTF8(files.Write("one.eml", "Subject: a\r\n\r\nx"))), 1);
  ASSERT_EQ(list.AddFile(wxString::FromUTF8(files.Write("two.eml", "Subject: b\r\n\r\ny"))), 1);
  list.SetItemState(1, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
  list.SetFocus();
  ASSERT_TRUE(WaitFor([&] { return FocusedId() == ReportWindow::kAttachmentList; }, std::chrono::seconds(3)));
  keys.Char(WXK_SPACE);
  EXPECT_TRUE(WaitFor([&] { return list.IsItemChecked(1); }, std::chrono::seconds(3)));
  EXPECT_FALSE(list.IsItemChecked(0));
  keys.Char(WXK_DELETE);
  ASSERT_TRUE(WaitFor([&] { return list.Count() == 1; }, std::chrono::seconds(3)));
  EXPECT_EQ(list.Entry(0).name, "one.eml");

  // Enter on a focused button presses it: the close button hides the window.
  window->GetButton(ReportWindow::kCloseButton)->SetFocus();
  ASSERT_TRUE(WaitFor([&] { return FocusedId() == ReportWindow::kCloseButton; }, std::chrono::seconds(3)));
  keys.Char(WXK_RETURN);
  EXPECT_TRUE(WaitFor([&] { return !window->IsShown(); }, std::chrono::seconds(3)));
}

TEST_F(KeyboardNavigationTest, TheEmailCategoryByKeyboardOpensTheFormWithTheFirstFieldFocused) {
  WaitForStartPage();
  window->Raise();
  window->GetButton(ReportWindow::kEmailSpam)->SetFocus();
  ASSERT_TRUE(WaitFor([&] { return FocusedId() == ReportWindow::kEmailSpam; }, std::chrono::seconds(3)));
  keys.Char(WXK_SPACE);
  EXPECT_TRUE(WaitFor([&] { return window->GetView() == View::kEmailReport; }, std::chrono::seconds(3)));
  EXPECT_TRUE(WaitFor([&] { return FocusedId() == ReportWindow::kName; }, std::chrono::seconds(3)));
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
    window->FindWindow(shot.id)->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return FocusedId() == shot.id; }, std::chrono::seconds(3)));
    WaitFor([] { return false; }, std::chrono::milliseconds(300));  // painted
    wxExecute(wxString::Format("import -window root %s/%s", folder, shot.file), wxEXEC_SYNC | wxEXEC_NODISABLE);
  }
}

}  // namespace
}  // namespace veradex
