// The log-in and first-run password dialogs, shown modally for real: each
// test acts on the open dialog from inside its modal loop.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/textctrl.h>

#include <functional>

#include "ModalTestSupport.h"
#include "platform/Cp949.h"
#include "support/RecordingMessageSink.h"
#include "ui/settings/LoginDialog.h"
#include "ui/settings/PasswordSetupDialog.h"
#include "ui/settings/SettingsTexts.h"
#include "ui/skin/SkinMessageBox.h"
#include "ui/skin/SkinMessageSink.h"

namespace veradex {
namespace {

// Runs actions once the dialog's modal loop is running, then DoModal's result.
// A dialog the actions leave open is ended afterwards so a failing test
// cannot hang.
template <typename Dialog>
int DoModalWhile(Dialog& dialog, std::function<void()> actions) {
  dialog.CallAfter([&dialog, actions] {
    actions();
    dialog.CallAfter([&dialog] {
      if (dialog.IsModal()) dialog.EndModal(-1);
    });
  });
  return dialog.DoModal();
}

using test::PressKey;

void ClickButton(wxWindow* dialog, int id) { ASSERT_TRUE(test::PressButton(dialog, id)); }

const std::string kKoreanPassword =
    "\xC7\xD1\xB1\xDB\xBE\xCF\xC8\xA3"
    "9";  // "한글암호9" in CP949

class PasswordDialogs : public ::testing::Test {
 protected:
  test::RecordingMessageSink sink;
  test::ScopedMessageSink scopedSink{&sink};
};

TEST_F(PasswordDialogs, SetupWithBothEditsEmptyConfirmsAnEmptyPassword) {
  PasswordSetupDialog dialog;
  EXPECT_EQ(DoModalWhile(dialog, [&] { ClickButton(&dialog, 1000); }), 1);
  EXPECT_EQ(dialog.Password(), "");
  EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(PasswordDialogs, SetupRefusesEntriesThatDifferOnlyInCaseAndSelectsTheFirst) {
  PasswordSetupDialog dialog;
  bool stayedOpen = false;
  long from = -1, to = -1;
  wxWindow* focus = nullptr;
  const int result = DoModalWhile(dialog, [&] {
    dialog.PasswordEdit()->ChangeValue("Secret");
    dialog.ConfirmationEdit()->ChangeValue("secret");
    ClickButton(&dialog, 1000);
    stayedOpen = dialog.IsModal();
    dialog.PasswordEdit()->GetSelection(&from, &to);
    focus = wxWindow::FindFocus();
  });
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, SettingsTexts::Bytes("입력하신 두 암호가 다릅니다."));
  EXPECT_EQ(sink.Messages()[0].style, 16u);
  EXPECT_EQ(from, 0);
  EXPECT_EQ(to, 6);
  EXPECT_EQ(focus, dialog.PasswordEdit());
  EXPECT_EQ(dialog.ConfirmationEdit()->GetValue(), "secret");  // the second entry keeps its text
  EXPECT_EQ(result, 2);                                        // ended by the test, not confirmed
}

// As the program runs it: the message is the skinned box, modal over the
// set-up dialog; once it is dismissed the first entry is selected.
TEST(PasswordSetupWithSkinnedMessages, TheBoxComesFirstThenTheSelection) {
  SkinMessageSink skinned;
  test::ScopedMessageSink scopedSink(&skinned);
  PasswordSetupDialog dialog;
  test::ModalAction box;
  long from = -1, to = -1;
  DoModalWhile(dialog, [&] {
    dialog.PasswordEdit()->ChangeValue("one");
    dialog.ConfirmationEdit()->ChangeValue("two");
    box = test::EndNextModal<SkinMessageBox>([](SkinMessageBox* shown) {
      EXPECT_EQ(shown->FindWindow(SkinMessageBox::kTextId)->GetLabel(),
                wxString::FromUTF8("입력하신 두 암호가 다릅니다."));
      test::PressButton(shown, SkinMessageBox::kOkId);
    });
    ClickButton(&dialog, 1000);  // returns once the box is dismissed
    dialog.PasswordEdit()->GetSelection(&from, &to);
  });
  ASSERT_TRUE(box != nullptr);
  EXPECT_TRUE(box->ran);
  EXPECT_FALSE(box->endedByTimeout);
  EXPECT_EQ(from, 0);
  EXPECT_EQ(to, 3);
}

TEST_F(PasswordDialogs, EscapeDoesNothingAndEnterInTheSecondEditRunsTheCheck) {
  PasswordSetupDialog dialog;
  bool openAfterEscape = false, openAfterMismatch = false;
  const int result = DoModalWhile(dialog, [&] {
    dialog.PasswordEdit()->ChangeValue("abc");
    PressKey(dialog.ConfirmationEdit(), WXK_ESCAPE);
    openAfterEscape = dialog.IsModal();
    dialog.ConfirmationEdit()->ChangeValue("abd");
    PressKey(dialog.ConfirmationEdit(), WXK_RETURN);
    openAfterMismatch = dialog.IsModal();
    dialog.ConfirmationEdit()->ChangeValue("abc");
    PressKey(dialog.ConfirmationEdit(), WXK_RETURN);
  });
  EXPECT_TRUE(openAfterEscape);
  EXPECT_TRUE(openAfterMismatch);
  EXPECT_EQ(sink.Count(), 1u);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(dialog.Password(), "abc");
}

TEST_F(PasswordDialogs, SetupCancelEmptiesBothEdits) {
  PasswordSetupDialog dialog;
  const int result = DoModalWhile(dialog, [&] {
    dialog.PasswordEdit()->ChangeValue("abc");
    dialog.ConfirmationEdit()->ChangeValue("abc");
    ClickButton(&dialog, 1018);
  });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(dialog.Password(), "");
  EXPECT_TRUE(dialog.PasswordEdit()->IsEmpty());
  EXPECT_TRUE(dialog.ConfirmationEdit()->IsEmpty());
}

TEST_F(PasswordDialogs, NewLoginCancelledHandsBackNothing) {
  LoginDialog dialog;
  const int result = DoModalWhile(dialog, [&] {
    dialog.PasswordEdit()->ChangeValue("typed");
    PressKey(dialog.PasswordEdit(), WXK_ESCAPE);  // ignored
    ClickButton(&dialog, 1018);
  });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(dialog.Password(), "");
  EXPECT_TRUE(dialog.PasswordEdit()->IsEmpty());
}

TEST_F(PasswordDialogs, KoreanPasswordRoundTripsAndARetryShowsThePreviousEntry) {
  LoginDialog dialog;
  EXPECT_EQ(DoModalWhile(dialog,
                         [&] {
                           dialog.PasswordEdit()->ChangeValue(Cp949::ToWx(kKoreanPassword));
                           PressKey(dialog.PasswordEdit(), WXK_RETURN);
                         }),
            1);
  EXPECT_EQ(dialog.Password(), kKoreanPassword);

  // The caller's retry shows the same object again: OK kept the entry.
  wxString shown;
  EXPECT_EQ(DoModalWhile(dialog,
                         [&] {
                           shown = dialog.PasswordEdit()->GetValue();
                           ClickButton(&dialog, 1000);
                         }),
            1);
  EXPECT_EQ(Cp949::FromWxLossy(shown), kKoreanPassword);

  PasswordSetupDialog setup;
  EXPECT_EQ(DoModalWhile(setup,
                         [&] {
                           setup.PasswordEdit()->ChangeValue(Cp949::ToWx(kKoreanPassword));
                           setup.ConfirmationEdit()->ChangeValue(Cp949::ToWx(kKoreanPassword));
                           ClickButton(&setup, 1000);
                         }),
            1);
  EXPECT_EQ(setup.Password(), kKoreanPassword);
}

TEST_F(PasswordDialogs, ATextCodePage949CannotHoldIsRefusedAndKept) {
  const wxString emoji = wxString::FromUTF8("pw\xF0\x9F\x98\x80");
  LoginDialog dialog;
  bool stayedOpen = false;
  DoModalWhile(dialog, [&] {
    dialog.PasswordEdit()->ChangeValue(emoji);
    ClickButton(&dialog, 1000);
    stayedOpen = dialog.IsModal();
  });
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, SettingsTexts::Bytes(SettingsTexts::kUnstorableText));
  EXPECT_EQ(dialog.PasswordEdit()->GetValue(), emoji);
  EXPECT_EQ(dialog.Password(), "");
}

}  // namespace
}  // namespace veradex
