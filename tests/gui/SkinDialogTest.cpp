#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <vector>

#include <wx/image.h>
#include <wx/utils.h>

#include "GuiTestSupport.h"
#include "ui/skin/ResourceImages.h"
#include "ui/skin/SkinBitmapButton.h"
#include "ui/skin/SkinDialog.h"
#include "ui/skin/SkinLabel.h"

namespace veradex {
namespace {

// A skin of its own: 120 x 80, a green 10 x 10 corner at the top left.
class TestDialog : public SkinDialog {
 public:
  explicit TestDialog(bool withSkin) : SkinDialog(0, 0) {
    if (!withSkin) return;
    wxImage skin(120, 80);
    skin.SetRGB(wxRect(0, 0, 120, 80), 40, 80, 160);
    skin.SetRGB(wxRect(0, 0, 10, 10), 0, 255, 0);
    SetSkinImage(skin);
  }
};

void Mouse(wxWindow* window, wxEventType type, const wxPoint& at, bool leftDown) {
  wxMouseEvent event(type);
  event.SetPosition(at);
  event.SetLeftDown(leftDown);
  event.SetEventObject(window);
  window->GetEventHandler()->ProcessEvent(event);
}

bool SamePixels(const wxImage& a, const wxImage& b) {
  if (!a.IsOk() || !b.IsOk() || a.GetSize() != b.GetSize() || a.HasAlpha() != b.HasAlpha()) return false;
  const std::size_t pixels = static_cast<std::size_t>(a.GetWidth()) * static_cast<std::size_t>(a.GetHeight());
  return std::equal(a.GetData(), a.GetData() + 3 * pixels, b.GetData()) &&
         (!a.HasAlpha() || std::equal(a.GetAlpha(), a.GetAlpha() + pixels, b.GetAlpha()));
}

// Images decoded ahead on their own thread are the images decoded in place,
// before and after what was not taken is released; a missing id stays missing.
TEST(ResourceImagesPrefetch, GivesTheSameImagesAsDecodingInPlace) {
  const int ids[] = {128, 216, 300, 182, 137, 149};
  std::vector<wxImage> inPlace;
  for (int id : ids) inPlace.push_back(ResourceImages::LoadImage(id));
  ResourceImages::Prefetch();
  for (int round = 0; round < 2; ++round) {
    for (std::size_t i = 0; i < std::size(ids); ++i) {
      const wxImage image = ResourceImages::LoadImage(ids[i]);
      EXPECT_TRUE(SamePixels(image, inPlace[i])) << ids[i] << " round " << round;
    }
    EXPECT_FALSE(ResourceImages::LoadImage(-5).IsOk());
    // A copy taken from the prefetched set and changed leaves the set alone.
    wxImage changed = ResourceImages::LoadImage(216);
    changed.SetRGB(0, 0, 1, 2, 3);
    EXPECT_TRUE(SamePixels(ResourceImages::LoadImage(216), inPlace[1]));
    if (round == 0) ResourceImages::ReleasePrefetched();
  }
}

TEST(SkinDialog, SizedAndShapedByItsSkin) {
  TestDialog dialog(true);
  ASSERT_TRUE(dialog.Create(nullptr, wxID_ANY, "skin"));
  EXPECT_EQ(dialog.GetClientSize(), wxSize(120, 80));
  EXPECT_EQ(dialog.GetSize(), wxSize(120, 80));
  const wxRegion& region = dialog.GetSkinRegion();
  ASSERT_TRUE(region.IsOk());
  EXPECT_EQ(region.Contains(5, 5), wxOutRegion);
  EXPECT_EQ(region.Contains(10, 5), wxInRegion);
  EXPECT_EQ(region.Contains(119, 79), wxInRegion);
  EXPECT_TRUE(dialog.ApplySkinShape());
  dialog.Show();
  EXPECT_TRUE(test::WaitFor([&]() { return dialog.IsShownOnScreen(); }));
  EXPECT_EQ(dialog.GetSize(), wxSize(120, 80));
  // A second showing gets the shape again.
  dialog.Hide();
  dialog.Show();
  EXPECT_TRUE(dialog.ApplySkinShape());
}

TEST(SkinDialog, WithoutSkinStaysRectangular) {
  TestDialog dialog(false);
  ASSERT_TRUE(dialog.Create(nullptr, wxID_ANY, "plain", wxSize(200, 150)));
  EXPECT_FALSE(dialog.HasSkin());
  EXPECT_FALSE(dialog.GetSkinRegion().IsOk());
  EXPECT_FALSE(dialog.ApplySkinShape());
  EXPECT_EQ(dialog.GetClientSize(), wxSize(200, 150));
}

TEST(SkinDialog, DraggedFromItsSurfaceAndLabelsButButtonsKeepTheirClicks) {
  TestDialog dialog(true);
  ASSERT_TRUE(dialog.Create(nullptr, wxID_ANY, "drag"));
  SkinLabel* caption = dialog.CreateCaption("caption");
  EXPECT_EQ(caption->GetRect(), wxRect(0, 8, 100, 20));
  EXPECT_EQ(dialog.GetTitle(), wxS("caption"));
  SkinBitmapButton* button = dialog.CreateButton(1000, "OK", wxRect(30, 50, 40, 20), 0, 0, 0, 0);
  int clicks = 0;
  dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent& event) {
    if (event.GetId() == 1000) ++clicks;
  });
  dialog.Show();
  ASSERT_TRUE(test::WaitFor([&]() { return dialog.IsShownOnScreen(); }));

  const wxPoint start = dialog.GetPosition();
  Mouse(&dialog, wxEVT_LEFT_DOWN, wxPoint(50, 40), true);
  EXPECT_TRUE(dialog.IsDragging());
  Mouse(&dialog, wxEVT_MOTION, wxPoint(60, 60), true);
  EXPECT_EQ(dialog.GetPosition(), start + wxPoint(10, 20));
  Mouse(&dialog, wxEVT_LEFT_UP, wxPoint(60, 60), false);
  EXPECT_FALSE(dialog.IsDragging());

  Mouse(caption, wxEVT_LEFT_DOWN, wxPoint(3, 3), true);
  EXPECT_TRUE(dialog.IsDragging());
  Mouse(&dialog, wxEVT_LEFT_UP, wxPoint(3, 3), false);
  EXPECT_FALSE(dialog.IsDragging());

  Mouse(button, wxEVT_LEFT_DOWN, wxPoint(3, 3), true);
  EXPECT_FALSE(dialog.IsDragging());
  Mouse(button, wxEVT_LEFT_UP, wxPoint(3, 3), false);
  EXPECT_EQ(clicks, 1);
}

// The same with the real pointer, through the X server (xdotool): a press on
// the surface moves the window, a press on the button clicks it.
TEST(SkinDialog, RealPointerDragsTheSurfaceAndClicksTheButton) {
  if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xdotool";
  TestDialog dialog(true);
  ASSERT_TRUE(dialog.Create(nullptr, wxID_ANY, "pointer"));
  // Away from the centre, where the windows of GUI tests running at the same
  // time on the same display appear.
  dialog.Move(wxGetDisplaySize().GetWidth() - 200, wxGetDisplaySize().GetHeight() - 150);
  SkinBitmapButton* only = dialog.CreateButton(1000, "OK", wxRect(30, 50, 40, 20), 0, 0, 0, 0);
  int clicks = 0;
  dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { ++clicks; });
  dialog.Show();
  ASSERT_TRUE(test::WaitFor([&]() { return dialog.IsShownOnScreen(); }));
  test::WaitFor([]() { return false; }, std::chrono::milliseconds(200));  // let the window map
  // A lone child keeps its place (a top-level window would stretch it).
  EXPECT_EQ(only->GetRect(), wxRect(30, 50, 40, 20));

  auto run = [](const wxString& args) { wxExecute(wxS("xdotool ") + args, wxEXEC_ASYNC | wxEXEC_NODISABLE); };
  const wxPoint start = dialog.GetScreenPosition();
  const wxPoint grip = dialog.ClientToScreen(wxPoint(100, 30));
  run(wxString::Format("mousemove %d %d mousedown 1", grip.x, grip.y));
  EXPECT_TRUE(test::WaitFor([&]() { return dialog.IsDragging(); }));
  run(wxString::Format("mousemove %d %d", grip.x + 20, grip.y + 10));
  EXPECT_TRUE(test::WaitFor([&]() { return dialog.GetScreenPosition() == start + wxPoint(20, 10); }));
  run(wxString::Format("mousemove %d %d mouseup 1", grip.x + 40, grip.y + 25));
  EXPECT_TRUE(test::WaitFor([&]() { return !dialog.IsDragging(); }));
  EXPECT_EQ(dialog.GetScreenPosition(), start + wxPoint(40, 25));
  const wxPoint button = dialog.ClientToScreen(wxPoint(45, 60));
  run(wxString::Format("mousemove %d %d click 1", button.x, button.y));
  EXPECT_TRUE(test::WaitFor([&]() { return clicks == 1; }));

  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace veradex
