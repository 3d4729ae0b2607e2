// Times the skin region builder against wxWidgets' own colour-key region on
// the report window's skin (784 x 612), in one run. Needs a display (run it
// under xvfb-run). The last line is "ratio: <ours / wx>"; lower is better.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/region.h>

#include "ui/skin/ResourceImages.h"
#include "ui/skin/SkinRegionBuilder.h"

namespace {

using veradex::SkinRegionBuilder;

class BenchApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

// A stand-in with the skin's traits when the artwork is missing: green
// rounded-off corners, a green frame gap and a few green holes.
wxImage SyntheticSkin() {
  const int w = 784;
  const int h = 612;
  wxImage image(w, h);
  image.SetRGB(wxRect(0, 0, w, h), 60, 90, 140);
  for (int y = 0; y < 24; ++y) {
    const int cut = 24 - y;
    image.SetRGB(wxRect(0, y, cut, 1), 0, 255, 0);
    image.SetRGB(wxRect(w - cut, y, cut, 1), 0, 255, 0);
    image.SetRGB(wxRect(0, h - 1 - y, cut, 1), 0, 255, 0);
    image.SetRGB(wxRect(w - cut, h - 1 - y, cut, 1), 0, 255, 0);
  }
  for (int i = 0; i < 12; ++i) image.SetRGB(wxRect(40 + 60 * i, 300 + (i % 3) * 20, 18, 30), 0, 250, 8);
  return image;
}

double MedianMs(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  wxApp::SetInstance(new BenchApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "bench_region: wxWidgets could not start (is DISPLAY set?)\n");
    return 1;
  }
  wxTheApp->CallOnInit();

  wxBitmap skin = veradex::ResourceImages::LoadBitmap(216);
  const bool synthetic = !skin.IsOk();
  if (synthetic) skin = wxBitmap(SyntheticSkin());
  const wxImage image = skin.ConvertToImage();
  std::printf("skin: %s, %d x %d\n", synthetic ? "synthetic" : "bitmap 216", skin.GetWidth(), skin.GetHeight());

  const wxColour green(0, 255, 0);
  const wxRegion ours = SkinRegionBuilder::BuildSkinRegion(skin, SkinRegionBuilder::kGreenKey);
  const wxRegion theirs(skin, green, 17);
  std::printf("regions equal: %s\n", ours.IsEqual(theirs) ? "yes" : "NO");

  const int runs = 30;
  const double fromImage =
      MedianMs(runs, [&]() { (void)SkinRegionBuilder::BuildSkinRegion(image, SkinRegionBuilder::kGreenKey); });
  const double fromBitmap =
      MedianMs(runs, [&]() { (void)SkinRegionBuilder::BuildSkinRegion(skin, SkinRegionBuilder::kGreenKey); });
  const double wx = MedianMs(runs, [&]() { wxRegion region(skin, green, 17); });
  std::printf("BuildSkinRegion (image):  %.3f ms\n", fromImage);
  std::printf("BuildSkinRegion (bitmap): %.3f ms\n", fromBitmap);
  std::printf("wxRegion(bitmap, colour, 17): %.3f ms\n", wx);
  std::printf("ratio: %.3f\n", fromBitmap / wx);

  wxTheApp->OnExit();
  wxEntryCleanup();
  return 0;
}
