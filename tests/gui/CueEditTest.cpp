#include <gtest/gtest.h>

#include <memory>

#include <wx/frame.h>
#include <wx/settings.h>

#include "GuiTestSupport.h"
#include "ui/skin/CueEdit.h"

namespace veradex {
namespace {

class CueEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new wxFrame(nullptr, wxID_ANY, "cue");
    edit = new CueEdit(frame, 1050, wxPoint(0, 0), wxSize(300, 120));
    frame->Show();
  }
  void TearDown() override { test::DestroyAndWait(frame); }

  void Press(wxEventType type) {
    wxMouseEvent event(type);
    event.SetEventObject(edit);
    edit->GetEventHandler()->ProcessEvent(event);
  }

  wxFrame* frame = nullptr;
  CueEdit* edit = nullptr;
};

TEST_F(CueEditTest, FreshControlShowsTheGreyCueAndReadsEmpty) {
  EXPECT_TRUE(edit->IsCueShown());
  EXPECT_EQ(edit->GetShownText(), wxS("<Enter text here>\naaa"));
  EXPECT_EQ(edit->GetNumberOfLines(), 2);
  EXPECT_EQ(edit->GetValue(), wxString());
  EXPECT_EQ(edit->GetForegroundColour(), wxColour(119, 121, 118));
}

TEST_F(CueEditTest, EmptyTextsLeaveTheCueInPlace) {
  edit->ChangeValue(wxString());
  edit->SetValue(wxString());
  edit->SetEditText(wxString());
  EXPECT_TRUE(edit->IsCueShown());
  EXPECT_EQ(edit->GetShownText(), wxS("<Enter text here>\naaa"));
}

TEST_F(CueEditTest, ClickEmptiesTheControlAndTypedTextIsNormal) {
  Press(wxEVT_LEFT_DOWN);
  EXPECT_FALSE(edit->IsCueShown());
  EXPECT_EQ(edit->GetShownText(), wxString());
  edit->WriteText(wxS("spam"));
  EXPECT_EQ(edit->GetValue(), wxS("spam"));
  EXPECT_EQ(edit->GetForegroundColour(), wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
  // Now an empty text does empty it.
  edit->ChangeValue(wxString());
  EXPECT_EQ(edit->GetShownText(), wxString());
}

TEST_F(CueEditTest, RightClickAndKeyPressAlsoClearTheCue) {
  Press(wxEVT_RIGHT_DOWN);
  EXPECT_FALSE(edit->IsCueShown());
  EXPECT_EQ(edit->GetShownText(), wxString());

  auto* other = new CueEdit(frame, wxID_ANY);
  wxKeyEvent key(wxEVT_KEY_DOWN);
  key.m_keyCode = 'A';
  key.SetEventObject(other);
  other->GetEventHandler()->ProcessEvent(key);
  EXPECT_FALSE(other->IsCueShown());
  EXPECT_EQ(other->GetShownText(), wxString());
}

TEST_F(CueEditTest, EmptyCueTurnsTheShownCueIntoContent) {
  edit->SetCueText(wxString());
  EXPECT_FALSE(edit->IsCueShown());
  EXPECT_EQ(edit->GetValue(), wxS("<Enter text here>\naaa"));
}

TEST_F(CueEditTest, NewCueReplacesTheShownOneAndOtherTextEndsIt) {
  edit->SetCueText(wxS("hint"));
  EXPECT_TRUE(edit->IsCueShown());
  EXPECT_EQ(edit->GetShownText(), wxS("hint"));
  EXPECT_EQ(edit->GetValue(), wxString());
  // Setting the cue text itself keeps the cue state.
  edit->SetEditText(wxS("hint"));
  EXPECT_TRUE(edit->IsCueShown());

  edit->SetValue(wxS("real text"));
  EXPECT_FALSE(edit->IsCueShown());
  EXPECT_EQ(edit->GetValue(), wxS("real text"));
  // No way back: a new cue is stored but not shown.
  edit->SetCueText(wxS("again"));
  EXPECT_EQ(edit->GetValue(), wxS("real text"));
}

}  // namespace
}  // namespace veradex
