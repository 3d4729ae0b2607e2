// Pictures of the toolkit's windows for a person to look at; not a test of
// behaviour. Runs only when VERADEX_SCREENSHOT_DIR names a folder (see
// tools/screenshots.sh skin) and writes one PNG per window there, taken from the
// screen with ImageMagick's import so that the window's shape shows.
#include <gtest/gtest.h>

#include <cstdio>

#include <wx/filename.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "GuiTestSupport.h"
#include "platform/MessageSink.h"
#include "ui/skin/CueEdit.h"
#include "ui/skin/DialogUnits.h"
#include "ui/skin/SkinDialog.h"
#include "ui/skin/SkinLabel.h"
#include "ui/skin/SkinMessageBox.h"
#include "ui/skin/SkinTabCtrl.h"
#include "ui/skin/SoundPlayer.h"
#include "ui/skin/WhiteStatic.h"

namespace veradex {
namespace {

class SilentPlayer : public SoundPlayer {
 public:
  void Beep(unsigned) override {}
};

class SkinScreenshots : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string dir = test::ScreenshotFolder();
    if (dir.empty()) GTEST_SKIP() << "no VERADEX_SCREENSHOT_DIR";
    folder = wxString::FromUTF8(dir.c_str());
    SoundPlayer::SetCurrent(&silent);
  }
  void TearDown() override { SoundPlayer::SetCurrent(nullptr); }

  // Shows the window, lets it paint, and grabs its screen rectangle.
  void Shoot(wxWindow* window, const wxString& name) {
    window->Show();
    window->Raise();
    ASSERT_TRUE(test::WaitFor([&]() { return window->IsShownOnScreen(); }));
    window->Refresh();
    window->Update();
    // Give the X server time to draw; nothing here is asserted on.
    test::WaitFor([]() { return false; }, std::chrono::milliseconds(400));
    const wxRect rect = window->GetScreenRect();
    const wxString file = wxFileName(folder, name + wxS(".png")).GetFullPath();
    const wxString command = wxString::Format(wxS("import -window root -crop %dx%d+%d+%d +repage %s"), rect.width,
                                              rect.height, rect.x, rect.y, file);
    std::printf("%s\n", static_cast<const char*>(command.utf8_str()));
    EXPECT_EQ(wxExecute(command, wxEXEC_SYNC | wxEXEC_NODISABLE), 0) << command;
    window->Hide();
  }

  wxString folder;
  SilentPlayer silent;
};

TEST_F(SkinScreenshots, MessageBoxes) {
  const std::string longText =
      "\xBC\xAD\xB9\xF6\xB7\xCE\xC0\xC7 \xC1\xA2\xBC\xD3\xC0\xCC \xBD\xC7\xC6\xD0\xC7\xCF\xBF\xA9 "
      "\xB9\xF6\xC0\xFC\xC1\xA4\xBA\xB8\xB8\xA6 \xBA\xD2\xB7\xAF\xBF\xC3 \xBC\xF6 \xBE\xF8\xBD\xC0\xB4\xCF\xB4\xD9.";
  struct Case {
    unsigned style;
    std::string text;
    const char* name;
  } cases[] = {
      {kStyleStop, longText, "msgbox_stop"},
      {kStyleQuestion, "\xC1\xBE\xB7\xE1\xC7\xCF\xBD\xC3\xB0\xDA\xBD\xC0\xB4\xCF\xB1\xEE?", "msgbox_question"},
      {kMbOkCancel, "OK / Cancel", "msgbox_okcancel"},
  };
  for (const Case& c : cases) {
    SkinMessageBox box(c.text, c.style, nullptr);
    ASSERT_TRUE(box.CreateBox());
    Shoot(&box, c.name);
  }
}

// A log-in-like dialog on skin 272 and a settings-like dialog on skin 266
// with the tab strip, to look at labels, edits and tabs over the skins.
class LoginLike : public SkinDialog {
 public:
  LoginLike() : SkinDialog(272, 272) {
    Create(nullptr, wxID_ANY, wxString::FromUTF8("로그인"));
    CreateCaption(wxString::FromUTF8("로그인"));
    CreateLabel(1026, wxString::FromUTF8("암호"), Du(35, 73, 15, 8));
    CreateEdit(1015, Du(57, 72, 70, 12), wxTE_PASSWORD);
    CreateButton(1000, "OK", Du(26, 131, 52, 17), 147, 148, 147, 150);
    CreateButton(1018, "Cancel", Du(85, 131, 52, 17), 135, 136, 134, 138);
  }
};

class SettingsLike : public SkinDialog {
 public:
  SettingsLike() : SkinDialog(266, 266) {
    Create(nullptr, wxID_ANY, wxString::FromUTF8("개인정보 환경설정"));
    CreateCaption(wxString::FromUTF8("개인정보 환경설정"));
    SkinTabCtrl::SetTabLook(0x17, 0x17);
    auto* tabs = new SkinTabCtrl(this, 1008, wxPoint(4, 40), wxSize(GetClientSize().GetWidth() - 12, 250));
    tabs->InsertItem(0, wxString::FromUTF8("      개인정보       "));
    tabs->InsertItem(1, wxString::FromUTF8("      일반설정       "));
    tabs->InsertItem(2, wxString::FromUTF8("      암호변경       "));
    tabs->SetBkgndColor(0xFFFFFF);
    tabs->EnableDraw(2);
    tabs->SetCurSel(1);
    const wxRect page = tabs->GetDisplayRect();
    auto* white = new WhiteStatic(tabs, wxID_ANY, wxString::FromUTF8("[총 2개 첨부]"),
                                  page.GetPosition() + wxPoint(10, 10), wxSize(120, 18));
    (void)white;
    auto* cue = new CueEdit(tabs, 1050, page.GetPosition() + wxPoint(10, 40), wxSize(page.GetWidth() - 20, 80));
    (void)cue;
    CreateButton(1036, "Save", wxRect(84, 313, 86, 30), 159, 160, 158, 162);
    CreateButton(1018, "Cancel", wxRect(198, 313, 86, 30), 135, 136, 134, 138);
  }
};

// The report window's skin with a label over the skin, a white static and
// the cue edit, placed roughly where the window has them.
class ReportLike : public SkinDialog {
 public:
  ReportLike() : SkinDialog(216, 0) {
    Create(nullptr, wxID_ANY, wxS("Dunmere"));
    auto* label = new SkinLabel(this, wxID_ANY, wxString::FromUTF8("첨부파일은 5개까지 가능"), wxPoint(200, 395),
                                wxSize(200, 18), wxALIGN_LEFT, SkinLabel::kSkinShowsThrough);
    label->SetForegroundColour(*wxBLACK);
    new WhiteStatic(this, 1000, wxString::FromUTF8("[총 0개 첨부]"), wxPoint(420, 395), wxSize(110, 18));
    new CueEdit(this, 1050, wxPoint(200, 200), wxSize(420, 150));
    CreateButton(1057, "send", wxRect(GetClientSize().GetWidth() - 310, GetClientSize().GetHeight() - 125, 80, 26), 195,
                 223, 195, 223);
    CreateButton(1023, "close", wxRect(GetClientSize().GetWidth() - 218, GetClientSize().GetHeight() - 125, 80, 26),
                 144, 140, 144, 140);
  }
};

TEST_F(SkinScreenshots, SkinnedDialogs) {
  ReportLike report;
  Shoot(&report, "report_like");
  LoginLike login;
  Shoot(&login, "login_like");
  SettingsLike settings;
  Shoot(&settings, "settings_like");
}

}  // namespace
}  // namespace veradex
