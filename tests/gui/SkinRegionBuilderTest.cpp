#include <gtest/gtest.h>

#include <wx/image.h>
#include <wx/region.h>

#include "ui/skin/SkinRegionBuilder.h"

namespace veradex {
namespace {

wxImage Filled(int width, int height, unsigned char r, unsigned char g, unsigned char b) {
  wxImage image(width, height);
  image.SetRGB(wxRect(0, 0, width, height), r, g, b);
  return image;
}

long Area(const wxRegion& region) {
  long area = 0;
  for (wxRegionIterator it(region); it; ++it) area += static_cast<long>(it.GetW()) * it.GetH();
  return area;
}

// Whether the single pixel (0, 0) of a 1x1 image of this colour stays.
bool Stays(unsigned long key, unsigned char r, unsigned char g, unsigned char b) {
  const wxRegion region = SkinRegionBuilder::BuildSkinRegion(Filled(1, 1, r, g, b), key);
  return region.Contains(0, 0) == wxInRegion;
}

TEST(SkinRegionBuilder, WholeImageWhenNoKeyPixelAndEmptyWhenAllKey) {
  const wxRegion full = SkinRegionBuilder::BuildSkinRegion(Filled(37, 23, 200, 10, 10), 0x00FF00);
  ASSERT_TRUE(full.IsOk());
  EXPECT_EQ(full.GetBox(), wxRect(0, 0, 37, 23));
  EXPECT_EQ(Area(full), 37 * 23);

  const wxRegion none = SkinRegionBuilder::BuildSkinRegion(Filled(37, 23, 0, 255, 0), 0x00FF00);
  EXPECT_TRUE(none.IsEmpty());
  EXPECT_EQ(Area(none), 0);
}

TEST(SkinRegionBuilder, NoImageGivesNoRegion) {
  EXPECT_FALSE(SkinRegionBuilder::BuildSkinRegion(wxImage(), 0x00FF00).IsOk());
  EXPECT_FALSE(SkinRegionBuilder::BuildSkinRegion(wxBitmap(), 0x00FF00).IsOk());
}

TEST(SkinRegionBuilder, ChannelBoundariesOfTheThreeKeyKinds) {
  // Pure green: red and blue 0..17, green 238..255 are cut away.
  EXPECT_FALSE(Stays(0x00FF00, 17, 238, 17));
  EXPECT_FALSE(Stays(0x00FF00, 0, 255, 0));
  EXPECT_TRUE(Stays(0x00FF00, 18, 238, 0));
  EXPECT_TRUE(Stays(0x00FF00, 0, 237, 0));
  EXPECT_TRUE(Stays(0x00FF00, 0, 255, 18));
  // Black: every channel 0..16.
  EXPECT_FALSE(Stays(0x000000, 16, 16, 16));
  EXPECT_TRUE(Stays(0x000000, 17, 0, 0));
  EXPECT_TRUE(Stays(0x000000, 0, 0, 17));
  // White: every channel 239..255.
  EXPECT_FALSE(Stays(0xFFFFFF, 239, 239, 239));
  EXPECT_TRUE(Stays(0xFFFFFF, 238, 255, 255));
  EXPECT_TRUE(Stays(0xFFFFFF, 255, 255, 238));
  // Another key, 0x00BBGGRR = blue 0x80, green 0x10, red 0xF0: red 223..255,
  // green 0..33, blue 111..145.
  EXPECT_FALSE(Stays(0x8010F0, 223, 33, 111));
  EXPECT_FALSE(Stays(0x8010F0, 255, 0, 145));
  EXPECT_TRUE(Stays(0x8010F0, 222, 0, 128));
  EXPECT_TRUE(Stays(0x8010F0, 240, 34, 128));
  EXPECT_TRUE(Stays(0x8010F0, 240, 16, 146));
  EXPECT_TRUE(Stays(0x8010F0, 240, 16, 110));
}

TEST(SkinRegionBuilder, CutsExactlyTheKeyPixels) {
  // Green corners and a hole; the region is the rest, pixel for pixel.
  wxImage image = Filled(40, 30, 90, 60, 200);
  image.SetRGB(wxRect(0, 0, 5, 3), 0, 255, 0);
  image.SetRGB(wxRect(35, 27, 5, 3), 10, 240, 5);
  image.SetRGB(wxRect(10, 10, 7, 4), 0, 255, 0);
  const wxRegion region = SkinRegionBuilder::BuildSkinRegion(image, 0x00FF00);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool key = image.GetGreen(x, y) >= 238;
      EXPECT_EQ(region.Contains(x, y) == wxInRegion, !key) << x << "," << y;
    }
  }
  EXPECT_EQ(Area(region), 40 * 30 - 15 - 15 - 28);
}

TEST(SkinRegionBuilder, ManyBatchesGiveTheSameRegionAsOne) {
  // A chequerboard of key pixels: 100 x 100 pixels make 5000 runs, more than
  // one batch. The result must be the same as the pixel-for-pixel answer.
  const int size = 100;
  wxImage image = Filled(size, size, 30, 30, 30);
  wxRegion expected;
  bool first = true;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if ((x + y) % 2 == 0) {
        image.SetRGB(x, y, 0, 255, 0);
      } else if (first) {
        expected = wxRegion(x, y, 1, 1);
        first = false;
      } else {
        expected.Union(x, y, 1, 1);
      }
    }
  }
  const wxRegion region = SkinRegionBuilder::BuildSkinRegion(image, 0x00FF00);
  EXPECT_TRUE(region.IsEqual(expected));
  EXPECT_EQ(Area(region), size * size / 2);
  // wx's own colour-key region agrees for the green key with tolerance 17.
  const wxRegion theirs(wxBitmap(image), wxColour(0, 255, 0), 17);
  EXPECT_TRUE(region.IsEqual(theirs));
}

}  // namespace
}  // namespace veradex
