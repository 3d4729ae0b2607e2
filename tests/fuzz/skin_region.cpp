// The outline of a skinned window cut from any picture: the first two bytes
// give the width and height (1 to 64 each), the next three the key colour,
// the rest the pixels (RGB, repeated when short). Every pixel must end up
// inside the region exactly when it is not key-coloured.
#include <wx/image.h>
#include <wx/init.h>

#include "FuzzSupport.h"
#include "ui/skin/SkinRegionBuilder.h"

using namespace veradex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static wxInitializer toolkit;
  static const bool once = (fuzz::AbortOnAssertion(), true);
  (void)once;
  if (size < 5) return 0;
  const int width = data[0] % 64 + 1;
  const int height = data[1] % 64 + 1;
  const unsigned long key = data[2] | (data[3] << 8) | (static_cast<unsigned long>(data[4]) << 16);
  const uint8_t* pixels = data + 5;
  const std::size_t count = size - 5;
  wxImage image(width, height, false);
  unsigned char* target = image.GetData();
  for (int i = 0; i < width * height * 3; ++i) target[i] = count == 0 ? 0 : pixels[i % count];

  SkinRegionBuilder::ChannelRange ranges[3];
  SkinRegionBuilder::KeyRanges(key, ranges);
  const wxRegion region = SkinRegionBuilder::BuildSkinRegion(image, key);
  fuzz::Require(region.IsOk(), "a picture gives a region");
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const unsigned char* pixel = target + (static_cast<std::size_t>(y) * width + x) * 3;
      bool isKey = true;
      for (int c = 0; c < 3; ++c) isKey = isKey && pixel[c] >= ranges[c].low && pixel[c] <= ranges[c].high;
      fuzz::Require((region.Contains(x, y) == wxInRegion) == !isKey, "region holds exactly the other pixels");
    }
  }
  return 0;
}
