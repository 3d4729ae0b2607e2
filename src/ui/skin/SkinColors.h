#pragma once

#include <wx/colour.h>

namespace veradex {

// Colour helpers of the drawn controls. Colours are 0x00BBGGRR values.
class SkinColors {
 public:
  // "No colour": use the system's button face instead.
  static constexpr unsigned long kNoColour = 0xFFFFFFFFUL;

  static constexpr unsigned long Rgb(int r, int g, int b) {
    return static_cast<unsigned long>(r) | (static_cast<unsigned long>(g) << 8) | (static_cast<unsigned long>(b) << 16);
  }
  static int Red(unsigned long colour) { return static_cast<int>(colour & 0xFF); }
  static int Green(unsigned long colour) { return static_cast<int>((colour >> 8) & 0xFF); }
  static int Blue(unsigned long colour) { return static_cast<int>((colour >> 16) & 0xFF); }

  // Each channel times factor, truncated; factor clamped to [0, 1].
  static unsigned long DarkerColor(unsigned long colour, double factor);
  // Each channel times factor, truncated and capped at 255; factors below 1
  // count as 1.
  static unsigned long LighterColor(unsigned long colour, double factor);

  static wxColour ToWx(unsigned long colour);
  static unsigned long FromWx(const wxColour& colour);
};

}  // namespace veradex
