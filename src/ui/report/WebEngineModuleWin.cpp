// WebEngineModule on Windows: the engine is the system's own (the web
// browser control of Internet Explorer, wxWebView's IE back end), which
// Windows loads into the program when the first view is made, so the view
// is linked into the program rather than loaded from a module beside it
// (wxWidgets is linked statically there, and a module would carry a copy of
// its own). WebEngineModule.cpp is the module loader of other systems.
#include <wx/log.h>
#include <wx/msw/registry.h>
#include <wx/msw/webview_ie.h>
#include <wx/webview.h>

#include <cstdio>

#include "ui/report/WebEngineModule.h"

extern "C" bool VeradexWebEngineAvailable();
extern "C" veradex::WebEngineView* VeradexWebEngineCreate(wxWindow* parent, const wxSize& size,
                                                          const veradex::WebEngineCallbacks* callbacks);

namespace veradex {

namespace {

struct EngineState {
  bool tried = false;
  bool available = false;
};

EngineState& State() {
  static EngineState state;
  return state;
}

}  // namespace

void WebEngineModule::SetPath(const wxString&) {}

wxString WebEngineModule::Path() { return wxString(); }

bool WebEngineModule::Present() { return true; }

bool WebEngineModule::Available() {
  EngineState& state = State();
  if (state.tried) return state.available;
  state.tried = true;
  // Without it the control renders as Internet Explorer 7 would: the pages'
  // layout and scripts want the engine's current mode. Kept for this
  // program's file name, per user (no administrator rights needed).
  // The toolkit wants the settings' key to be there (a system without
  // Internet Explorer's own settings, Wine's, lacks it) and says otherwise
  // so in an English message box of its own: the key is made first, and a
  // failure is only written to standard error.
  {
    wxLogNull quiet;
    wxRegKey(wxRegKey::HKCU, "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION")
        .Create(false);
    if (!wxWebViewIE::MSWSetEmulationLevel(wxWEBVIEWIE_EMU_IE11))
      std::fprintf(stderr, "veradex: the web view's IE 11 mode cannot be set\n");
  }
  state.available = VeradexWebEngineAvailable();
  if (!state.available) std::fprintf(stderr, "veradex: the web engine cannot run on this system\n");
  return state.available;
}

WebEngineView* WebEngineModule::Create(wxWindow* parent, const wxSize& size, const WebEngineCallbacks* callbacks) {
  if (!Available()) return nullptr;
  return VeradexWebEngineCreate(parent, size, callbacks);
}

}  // namespace veradex
