#include <cstdlib>

#include "platform/Desktop.h"

#ifdef VERADEX_HAVE_X11_DESKTOP
#include "platform/X11Desktop.h"
#endif

namespace veradex {

// The X server named by $DISPLAY, when the build has the X11 desktop and the
// server can be reached.
std::unique_ptr<Desktop> Desktop::CreateNative() {
#ifdef VERADEX_HAVE_X11_DESKTOP
  const char* display = std::getenv("DISPLAY");
  if (display != nullptr && *display != '\0') {
    auto desktop = std::make_unique<X11Desktop>();
    if (desktop->Ok()) return desktop;
  }
#endif
  return CreateNone();
}

}  // namespace veradex
