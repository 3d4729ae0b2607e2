#include <gtest/gtest.h>

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/notebook.h>

#include "GuiTestSupport.h"
#include "ui/skin/SkinBitmapButton.h"
#include "ui/skin/SkinColors.h"
#include "ui/skin/SkinLabel.h"
#include "ui/skin/SkinTabCtrl.h"

namespace veradex {
namespace {

using Look = SkinBitmapButton::Look;

TEST(SkinColors, DarkerAndLighterTruncateAndClampTheFactor) {
  const unsigned long white = SkinColors::Rgb(255, 255, 255);
  const unsigned long grey = SkinColors::Rgb(229, 229, 229);
  EXPECT_EQ(SkinColors::DarkerColor(white, 0.9), grey);
  EXPECT_EQ(SkinColors::DarkerColor(white, 0.5), SkinColors::Rgb(127, 127, 127));
  EXPECT_EQ(SkinColors::DarkerColor(grey, 0.75), SkinColors::Rgb(171, 171, 171));
  EXPECT_EQ(SkinColors::LighterColor(grey, 1.5), white);
  const unsigned long c = SkinColors::Rgb(10, 100, 200);
  EXPECT_EQ(SkinColors::LighterColor(c, 0.5), c);
  EXPECT_EQ(SkinColors::DarkerColor(c, 2.0), c);
  EXPECT_EQ(SkinColors::DarkerColor(c, -1.0), 0u);
  EXPECT_EQ(SkinColors::LighterColor(c, 1.4), SkinColors::Rgb(14, 140, 255));
}

TEST(SkinBitmapButtonLook, PressedBeatsFocusBeatsDisabledEachOnlyWithItsBitmap) {
  EXPECT_EQ(SkinBitmapButton::ChooseLook(true, true, false, true, true, true), Look::kLookDown);
  EXPECT_EQ(SkinBitmapButton::ChooseLook(true, true, false, false, true, true), Look::kLookFocus);
  EXPECT_EQ(SkinBitmapButton::ChooseLook(true, false, true, false, true, true), Look::kLookDisabled);
  EXPECT_EQ(SkinBitmapButton::ChooseLook(false, true, true, true, true, true), Look::kLookFocus);
  EXPECT_EQ(SkinBitmapButton::ChooseLook(false, true, true, true, false, true), Look::kLookDisabled);
  EXPECT_EQ(SkinBitmapButton::ChooseLook(false, false, true, true, true, false), Look::kLookUp);
  EXPECT_EQ(SkinBitmapButton::ChooseLook(false, false, false, true, true, true), Look::kLookUp);
}

class SkinWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new wxFrame(nullptr, wxID_ANY, "controls", wxDefaultPosition, wxSize(500, 400));
    frame->Show();
  }
  void TearDown() override { test::DestroyAndWait(frame); }

  static wxBitmap Solid(const wxColour& colour, int w = 20, int h = 10) {
    wxImage image(w, h);
    image.SetRGB(wxRect(0, 0, w, h), colour.Red(), colour.Green(), colour.Blue());
    return wxBitmap(image);
  }
  static void Mouse(wxWindow* window, wxEventType type, const wxPoint& at) {
    wxMouseEvent event(type);
    event.SetPosition(at);
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
  }
  static wxImage Draw(SkinTabCtrl* tabs) {
    wxBitmap bitmap(tabs->GetClientSize());
    {
      wxMemoryDC dc(bitmap);
      tabs->Render(dc);
    }
    return bitmap.ConvertToImage();
  }
  static wxColour At(const wxImage& image, int x, int y) {
    return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
  }

  wxFrame* frame = nullptr;
};

TEST_F(SkinWidgetTest, BitmapButtonDrawsTheStateBitmapAndClicksWithItsId) {
  auto* button = new SkinBitmapButton(frame, 1057, "send", wxPoint(10, 10), wxSize(80, 26));
  EXPECT_EQ(button->GetSize(), wxSize(80, 26));
  button->SetBitmaps(Solid(*wxRED), Solid(*wxGREEN), wxNullBitmap, Solid(*wxBLUE));
  EXPECT_EQ(button->GetSize(), wxSize(80, 26));  // never resized to the bitmap
  EXPECT_EQ(button->CurrentLook(), Look::kLookUp);

  int clicks = 0;
  frame->Bind(wxEVT_BUTTON, [&](wxCommandEvent& event) {
    if (event.GetId() == 1057) ++clicks;
  });
  Mouse(button, wxEVT_LEFT_DOWN, wxPoint(5, 5));
  EXPECT_EQ(button->CurrentLook(), Look::kLookDown);
  // Dragged off the button: no longer pressed, and releasing there is no click.
  Mouse(button, wxEVT_MOTION, wxPoint(200, 5));
  EXPECT_NE(button->CurrentLook(), Look::kLookDown);
  Mouse(button, wxEVT_LEFT_UP, wxPoint(200, 5));
  EXPECT_EQ(clicks, 0);
  Mouse(button, wxEVT_LEFT_DOWN, wxPoint(5, 5));
  Mouse(button, wxEVT_LEFT_UP, wxPoint(6, 6));
  EXPECT_EQ(clicks, 1);

  button->Disable();
  EXPECT_EQ(button->CurrentLook(), Look::kLookDisabled);
  Mouse(button, wxEVT_LEFT_DOWN, wxPoint(5, 5));
  Mouse(button, wxEVT_LEFT_UP, wxPoint(5, 5));
  EXPECT_EQ(clicks, 1);
  button->Enable();

  // Swapping looks at run time (hover images of the report window).
  button->SetBitmaps(Solid(*wxCYAN), wxNullBitmap, wxNullBitmap, wxNullBitmap);
  Mouse(button, wxEVT_LEFT_DOWN, wxPoint(5, 5));
  EXPECT_EQ(button->CurrentLook(), Look::kLookUp);  // no down bitmap: stays up
  Mouse(button, wxEVT_LEFT_UP, wxPoint(5, 5));
  EXPECT_EQ(clicks, 2);

  // Missing artwork: LoadBitmaps reports it and the button still works.
  EXPECT_FALSE(button->LoadBitmaps(999999, 999998, 0, 0));
  EXPECT_FALSE(button->GetLookBitmap(Look::kLookUp).IsOk());
}

TEST_F(SkinWidgetTest, TabControlRefusesUnknownDrawModesAndKeepsTheLookProcessWide) {
  auto* tabs = new SkinTabCtrl(frame, 1008, wxPoint(0, 0), wxSize(300, 200));
  EXPECT_TRUE(tabs->EnableDraw(2));
  EXPECT_FALSE(tabs->EnableDraw(3));
  EXPECT_FALSE(tabs->EnableDraw(-1));
  EXPECT_EQ(tabs->GetDrawMode(), 2);
  EXPECT_TRUE(tabs->EnableDraw(0));
  EXPECT_EQ(tabs->GetDrawMode(), 0);

  SkinTabCtrl::SetTabLook(0x17, 0x17);
  EXPECT_EQ(SkinTabCtrl::GetTabLook(), 0x17u);
  SkinTabCtrl::SetTabLook(0, 0x17);
  EXPECT_EQ(SkinTabCtrl::GetTabLook(), 0u);
}

TEST_F(SkinWidgetTest, TabControlDrawsWhiteBasedTabsAndSwitchesOnClick) {
  SkinTabCtrl::SetTabLook(0x17, 0x17);
  auto* tabs = new SkinTabCtrl(frame, 1008, wxPoint(0, 0), wxSize(400, 250));
  tabs->SetBkgndColor(0xFFFFFF);
  ASSERT_TRUE(tabs->EnableDraw(2));

  // No tabs: only the frame; its right and bottom edges are the dark colour.
  wxImage empty = Draw(tabs);
  const wxColour dark(171, 171, 171);
  EXPECT_EQ(At(empty, 399, 249), dark);
  EXPECT_EQ(At(empty, 200, 249), dark);
  EXPECT_EQ(At(empty, 200, 100), *wxWHITE);

  tabs->InsertItem(0, wxS("      personal       "));
  tabs->InsertItem(1, wxS("      general       "));
  tabs->InsertItem(2, wxS("      password       "));
  EXPECT_EQ(tabs->GetCurSel(), 0);
  const wxRect first = tabs->GetItemRect(0);
  const wxRect second = tabs->GetItemRect(1);
  EXPECT_EQ(second.GetLeft(), first.GetRight() + 1);
  EXPECT_GT(tabs->GetDisplayRect().GetTop(), first.GetBottom());

  wxImage drawn = Draw(tabs);
  // Inside a tab, left of its text: selected white, others light grey.
  EXPECT_EQ(At(drawn, first.GetLeft() + 4, first.GetTop() + 2), *wxWHITE);
  EXPECT_EQ(At(drawn, second.GetLeft() + 4, second.GetTop() + 2), wxColour(229, 229, 229));

  int changedTo = -1;
  int changedFrom = -1;
  frame->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, [&](wxBookCtrlEvent& event) {
    changedTo = event.GetSelection();
    changedFrom = event.GetOldSelection();
  });
  Mouse(tabs, wxEVT_LEFT_DOWN, second.GetPosition() + wxPoint(5, 5));
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_EQ(changedTo, 1);
  EXPECT_EQ(changedFrom, 0);
  drawn = Draw(tabs);
  EXPECT_EQ(At(drawn, second.GetLeft() + 4, second.GetTop() + 2), *wxWHITE);
  EXPECT_EQ(At(drawn, first.GetLeft() + 4, first.GetTop() + 2), wxColour(229, 229, 229));

  // SetCurSel selects without an event.
  changedTo = -1;
  EXPECT_EQ(tabs->SetCurSel(2), 1);
  EXPECT_EQ(changedTo, -1);
  EXPECT_EQ(tabs->SetCurSel(7), -1);
  EXPECT_EQ(tabs->GetCurSel(), 2);
}

TEST_F(SkinWidgetTest, TabTextIsShortenedWithAnEllipsisOnlyWhenTooWide) {
  wxClientDC dc(frame);
  dc.SetFont(frame->GetFont());
  const wxString text = wxS("a rather long tab caption");
  const int width = dc.GetTextExtent(text).GetWidth();
  EXPECT_EQ(SkinTabCtrl::FitText(dc, text, width), text);
  const wxString cut = SkinTabCtrl::FitText(dc, text, width / 2);
  EXPECT_LT(cut.length(), text.length());
  EXPECT_TRUE(cut.EndsWith(wxS("...")) || cut.EndsWith(wxString::FromUTF8("\xE2\x80\xA6"))) << cut;
  EXPECT_LE(dc.GetTextExtent(cut).GetWidth(), width / 2);
}

TEST_F(SkinWidgetTest, LabelsWrapAtBlanksBreakOverlongWordsAndKeepLineBreaks) {
  wxClientDC dc(frame);
  dc.SetFont(frame->GetFont());
  const int width = dc.GetTextExtent(wxS("abcdefghij")).GetWidth();
  // A run without blanks (Korean text often has none) is cut between characters.
  const std::vector<wxString> lines =
      SkinLabel::WrapLines(wxS("aaaaaaaaaaaaaaaaaaaaaaaaa bb cc\r\nnext\nlast"), dc, width, true);
  ASSERT_GE(lines.size(), 5u);
  wxString joined;
  for (const wxString& line : lines) {
    EXPECT_LE(dc.GetTextExtent(line).GetWidth(), width) << line;
    joined += line;
  }
  EXPECT_TRUE(joined.StartsWith(wxString(wxS('a'), 25)));
  EXPECT_EQ(lines[lines.size() - 2], wxS("next"));
  EXPECT_EQ(lines.back(), wxS("last"));
  // Without wrapping only the line breaks split.
  EXPECT_EQ(SkinLabel::WrapLines(wxS("one two\nthree"), dc, 1, false),
            (std::vector<wxString>{wxS("one two"), wxS("three")}));
}

}  // namespace
}  // namespace veradex
