#pragma once

#include <cstddef>

#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/image.h>

namespace veradex {

// The program's artwork, embedded at build time and addressed by the numeric
// ids the windows use (res/bitmaps/<id>.png, res/icons/<id>.png).
class ResourceImages {
 public:
  // The raw bytes of resource id, or false when there is none.
  static bool Find(int id, const unsigned char** data, std::size_t* size);
  static wxImage LoadImage(int id);    // invalid image when missing
  static wxBitmap LoadBitmap(int id);  // invalid bitmap when missing
  static wxIcon LoadIcon(int id);      // invalid icon when missing

  // Decodes the images the program's start shows on a thread of its own, in
  // the order the start asks for them, while the toolkit starts; LoadImage
  // then takes an image from there when it is ready, and decodes it itself
  // when not. ReleasePrefetched waits for the thread and frees what was not
  // taken.
  static void Prefetch();
  static void ReleasePrefetched();
};

}  // namespace veradex
