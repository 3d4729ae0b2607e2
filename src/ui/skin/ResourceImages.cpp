#include "ui/skin/ResourceImages.h"

#include <wx/mstream.h>

namespace veradex {

struct EmbeddedResource {
  int id;
  const unsigned char* data;
  std::size_t size;
};
extern const EmbeddedResource kEmbeddedResources[];

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
  if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
  wxMemoryInputStream stream(data, size);
  wxImage image;
  if (!image.LoadFile(stream, wxBITMAP_TYPE_PNG)) return wxImage();
  return image;
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
