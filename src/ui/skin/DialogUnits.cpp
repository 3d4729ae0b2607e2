#include "ui/skin/DialogUnits.h"

#include <cmath>

namespace veradex {

int DialogUnits::X(int units) { return static_cast<int>(std::lround(units * kPixelsPerX)); }

int DialogUnits::Y(int units) { return static_cast<int>(std::lround(units * kPixelsPerY)); }

wxRect DialogUnits::ToPixels(int x, int y, int w, int h) { return wxRect(X(x), Y(y), X(w), Y(h)); }

wxPoint DialogUnits::Point(int x, int y) { return wxPoint(X(x), Y(y)); }

wxSize DialogUnits::Size(int w, int h) { return wxSize(X(w), Y(h)); }

}  // namespace veradex
