#pragma once

#include <cstddef>

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/region.h>

namespace veradex {

// Cuts the outline of a skinned window out of its skin: every pixel whose
// colour lies within the key's tolerance is cut away, every other pixel stays.
class SkinRegionBuilder {
 public:
  // Pure green, the key colour of every skin (0x00BBGGRR).
  static constexpr unsigned long kGreenKey = 0x00FF00;
  // Key-coloured runs are turned into a region in batches of this many
  // rectangles, so no single region operation sees an oversized list.
  static constexpr std::size_t kBatchSize = 3000;

  struct ChannelRange {
    int low;
    int high;
  };
  // The accepted [low, high] range of red, green and blue (in that order) for
  // a key 0x00BBGGRR: black accepts 0..16, white 239..255, any other key
  // c-17..c+17 per channel, opened to 0 (c <= 16) or 255 (c >= 239).
  static void KeyRanges(unsigned long key, ChannelRange ranges[3]);

  // The region of the non-key pixels of the image, or an invalid region
  // (IsOk() false) when there is no image. An image without key pixels gives
  // the full rectangle, an image of key pixels only an empty region.
  static wxRegion BuildSkinRegion(const wxImage& image, unsigned long key);
  static wxRegion BuildSkinRegion(const wxBitmap& bitmap, unsigned long key);

 private:
  static wxRegion RegionFromRects(const wxRect* rects, std::size_t count);
};

}  // namespace veradex
