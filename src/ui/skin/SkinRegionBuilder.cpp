#include "ui/skin/SkinRegionBuilder.h"

#include <vector>

namespace veradex {

void SkinRegionBuilder::KeyRanges(unsigned long key, ChannelRange ranges[3]) {
  key &= 0xFFFFFFUL;
  if (key == 0x000000UL || key == 0xFFFFFFUL) {
    const ChannelRange range = key == 0 ? ChannelRange{0, 16} : ChannelRange{239, 255};
    for (int channel = 0; channel < 3; ++channel) ranges[channel] = range;
    return;
  }
  for (int channel = 0; channel < 3; ++channel) {
    const int c = static_cast<int>((key >> (8 * channel)) & 0xFF);
    ranges[channel].low = c <= 16 ? 0 : c - 17;
    ranges[channel].high = c >= 239 ? 255 : c + 17;
  }
}

// Combines a y-ordered list of rectangles pairwise, so that every union
// works on regions of similar size instead of adding one rectangle at a time
// to an ever larger region.
wxRegion SkinRegionBuilder::RegionFromRects(const wxRect* rects, std::size_t count) {
  if (count == 0) return wxRegion();
  if (count == 1) return wxRegion(rects[0]);
  const std::size_t half = count / 2;
  wxRegion region = RegionFromRects(rects, half);
  region.Union(RegionFromRects(rects + half, count - half));
  return region;
}

wxRegion SkinRegionBuilder::BuildSkinRegion(const wxImage& image, unsigned long key) {
  if (!image.IsOk()) return wxRegion();
  const int width = image.GetWidth();
  const int height = image.GetHeight();
  const unsigned char* data = image.GetData();
  if (width <= 0 || height <= 0 || data == nullptr) return wxRegion();

  ChannelRange ranges[3];
  KeyRanges(key, ranges);
  // One lookup per channel: bit c of accepted[v] is set when value v lies in
  // the range of channel c, so a pixel is key-coloured when the three bits
  // ANDed together give 7.
  unsigned char accepted[256] = {};
  for (int channel = 0; channel < 3; ++channel) {
    for (int v = ranges[channel].low; v <= ranges[channel].high; ++v) accepted[v] |= 1 << channel;
  }
  auto isKey = [&accepted](const unsigned char* pixel) {
    return (accepted[pixel[0]] & 1) && (accepted[pixel[1]] & 2) && (accepted[pixel[2]] & 4);
  };

  wxRegion result;
  bool haveResult = false;
  std::vector<wxRect> batch;
  batch.reserve(kBatchSize);
  auto flush = [&]() {
    if (batch.empty()) return;
    wxRegion part = RegionFromRects(batch.data(), batch.size());
    if (haveResult) {
      result.Union(part);
    } else {
      result = part;
      haveResult = true;
    }
    batch.clear();
  };

  for (int y = 0; y < height; ++y) {
    const unsigned char* row = data + static_cast<std::size_t>(y) * width * 3;
    int x = 0;
    while (x < width) {
      const int start = x;
      while (x < width && isKey(row + 3 * x)) ++x;
      if (x > start) {
        batch.emplace_back(start, y, x - start, 1);
        if (batch.size() == kBatchSize) flush();
      }
      ++x;  // the pixel that ended the run is not key-coloured
    }
  }
  flush();

  wxRegion full(0, 0, width, height);
  if (!haveResult) return full;
  // XOR with the whole picture leaves exactly the pixels that are not
  // key-coloured (the runs all lie inside it).
  full.Xor(result);
  return full;
}

wxRegion SkinRegionBuilder::BuildSkinRegion(const wxBitmap& bitmap, unsigned long key) {
  if (!bitmap.IsOk()) return wxRegion();
  return BuildSkinRegion(bitmap.ConvertToImage(), key);
}

}  // namespace veradex
