#pragma once

#include <wx/string.h>

#include "ui/report/WebEngine.h"

namespace veradex {

// The web engine module ("veradex-webengine" beside the program), loaded at
// the first request and kept for the rest of the process: the engine's
// libraries cannot be unloaded safely once they ran.
// On Windows the view is linked into the program and the system's engine is
// loaded by the first view (WebEngineModuleWin.cpp); there is no path.
class WebEngineModule {
 public:
  // Where the module is looked for; by default beside the executable.
  static void SetPath(const wxString& path);
  static wxString Path();
  // True when the module file is there (nothing loaded).
  static bool Present();
  // Loads the module if it is not loaded yet and asks it whether the
  // platform's engine can run. The outcome of the first call stands.
  static bool Available();
  // A new view; null when the engine is not available or refused it.
  static WebEngineView* Create(wxWindow* parent, const wxSize& size, const WebEngineCallbacks* callbacks);
};

}  // namespace veradex
