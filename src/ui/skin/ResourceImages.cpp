#include "ui/skin/ResourceImages.h"

#include <wx/imagpng.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <map>
#include <mutex>
#include <thread>

namespace veradex {

struct EmbeddedResource {
  int id;
  const unsigned char* data;
  std::size_t size;
};
extern const EmbeddedResource kEmbeddedResources[];

namespace {

// The images decoded ahead, by id; guarded by the mutex. The thread hands
// each image over and never touches it again.
struct Prefetched {
  std::mutex mutex;
  std::map<int, wxImage> images;
  std::thread thread;
  bool running = false;
};

// Never destroyed: nothing decoded ahead outlives the toolkit that way.
Prefetched& PrefetchedImages() {
  static auto* prefetched = new Prefetched();
  return *prefetched;
}

// What the start of the program shows, in the order it asks for it: the tray
// icon, the report window's skin, buttons, categories and frame pictures.
constexpr int kStartOrder[] = {128, 216, 300, 301, 299, 294, 295, 293, 144, 140, 195, 223, 202, 242, 259, 203, 204,
                               243, 149, 152, 151, 210, 209, 208, 214, 213, 224, 228, 225, 230, 232, 231, 234, 238,
                               237, 252, 254, 253, 261, 264, 263, 212, 178, 180, 182, 177, 165, 179, 137};

wxImage Decode(const unsigned char* data, std::size_t size, wxImageHandler& png) {
  wxMemoryInputStream stream(data, size);
  wxImage image;
  if (!png.LoadFile(&image, stream, false) || !image.IsOk()) return wxImage();
  return image;
}

}  // namespace

bool ResourceImages::Find(int id, const unsigned char** data, std::size_t* size) {
  for (const EmbeddedResource* r = kEmbeddedResources; r->data != nullptr; ++r) {
    if (r->id == id) {
      *data = r->data;
      *size = r->size;
      return true;
    }
  }
  return false;
}

wxImage ResourceImages::LoadImage(int id) {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  if (!Find(id, &data, &size)) return wxImage();
  {
    Prefetched& prefetched = PrefetchedImages();
    std::lock_guard<std::mutex> lock(prefetched.mutex);
    const auto found = prefetched.images.find(id);
    if (found != prefetched.images.end()) return found->second;
  }
  if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
  wxMemoryInputStream stream(data, size);
  wxImage image;
  if (!image.LoadFile(stream, wxBITMAP_TYPE_PNG)) return wxImage();
  return image;
}

void ResourceImages::Prefetch() {
  Prefetched& prefetched = PrefetchedImages();
  std::lock_guard<std::mutex> lock(prefetched.mutex);
  if (prefetched.running) return;
  prefetched.running = true;
  prefetched.thread = std::thread([&prefetched] {
    wxLogNull quiet;  // a broken image is reported where it is asked for
    wxPNGHandler png;
    const auto decode = [&](int id) {
      const unsigned char* data = nullptr;
      std::size_t size = 0;
      {
        std::lock_guard<std::mutex> held(prefetched.mutex);
        if (!prefetched.running || prefetched.images.count(id) != 0) return;
      }
      if (!Find(id, &data, &size)) return;
      wxImage image = Decode(data, size, png);
      // Every count of the image's shared data changes under the lock: the
      // thread's own copy goes before the lock is given up.
      std::lock_guard<std::mutex> held(prefetched.mutex);
      if (prefetched.running && image.IsOk()) prefetched.images.emplace(id, image);
      image = wxImage();
    };
    for (int id : kStartOrder) decode(id);
  });
}

void ResourceImages::ReleasePrefetched() {
  Prefetched& prefetched = PrefetchedImages();
  {
    std::lock_guard<std::mutex> lock(prefetched.mutex);
    prefetched.running = false;  // the thread stops at the next image
  }
  if (prefetched.thread.joinable()) prefetched.thread.join();
  std::lock_guard<std::mutex> lock(prefetched.mutex);
  prefetched.images.clear();
}

wxBitmap ResourceImages::LoadBitmap(int id) {
  const wxImage image = LoadImage(id);
  return image.IsOk() ? wxBitmap(image) : wxBitmap();
}

wxIcon ResourceImages::LoadIcon(int id) {
  const wxBitmap bitmap = LoadBitmap(id);
  wxIcon icon;
  if (bitmap.IsOk()) icon.CopyFromBitmap(bitmap);
  return icon;
}

}  // namespace veradex
