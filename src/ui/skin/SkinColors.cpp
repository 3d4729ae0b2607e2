#include "ui/skin/SkinColors.h"

#include <algorithm>

namespace veradex {

unsigned long SkinColors::DarkerColor(unsigned long colour, double factor) {
  factor = std::clamp(factor, 0.0, 1.0);
  return Rgb(static_cast<int>(Red(colour) * factor), static_cast<int>(Green(colour) * factor),
             static_cast<int>(Blue(colour) * factor));
}

unsigned long SkinColors::LighterColor(unsigned long colour, double factor) {
  factor = std::max(factor, 1.0);
  auto scale = [factor](int channel) { return std::min(255, static_cast<int>(channel * factor)); };
  return Rgb(scale(Red(colour)), scale(Green(colour)), scale(Blue(colour)));
}

wxColour SkinColors::ToWx(unsigned long colour) { return wxColour(Red(colour), Green(colour), Blue(colour)); }

unsigned long SkinColors::FromWx(const wxColour& colour) { return Rgb(colour.Red(), colour.Green(), colour.Blue()); }

}  // namespace veradex
