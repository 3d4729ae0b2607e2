#pragma once

#include <wx/gdicmn.h>

namespace veradex {

// Converts the dialog units of the window layouts into pixels. The conversion
// is fixed (it does not follow the font), so every window has the same pixel
// size on every machine: 1.65 pixels per horizontal unit, 1.75 per vertical
// unit, rounded to the nearest pixel. Each value is converted on its own.
class DialogUnits {
 public:
  static constexpr double kPixelsPerX = 1.65;
  static constexpr double kPixelsPerY = 1.75;

  static int X(int units);
  static int Y(int units);
  static wxRect ToPixels(int x, int y, int w, int h);
  static wxPoint Point(int x, int y);
  static wxSize Size(int w, int h);
};

}  // namespace veradex
