#include "ui/report/WebEngineModule.h"

#include <wx/dynlib.h>
#include <wx/filename.h>

#include <wx/log.h>
#include <cstdio>

#include "platform/ExecutablePath.h"
#include "platform/NativePath.h"

namespace veradex {
namespace {

struct ModuleState {
  wxString path;
  bool tried = false;
  bool available = false;
  WebEngineCreateFunction create = nullptr;
};

ModuleState& State() {
  static ModuleState state;
  return state;
}

}  // namespace

void WebEngineModule::SetPath(const wxString& path) { State().path = path; }

wxString WebEngineModule::Path() {
  if (State().path.empty()) State().path = NativePath::ToWx(ExecutablePath::ModuleBeside("veradex-webengine"));
  return State().path;
}

bool WebEngineModule::Present() { return wxFileName::FileExists(Path()); }

bool WebEngineModule::Available() {
  ModuleState& state = State();
  if (state.tried) return state.available;
  state.tried = true;
  // Kept for the life of the process (see the class comment).
  auto* library = new wxDynamicLibrary;
  {
    wxLogNull quiet;  // a missing module is reported once below, not in a dialog
    if (!library->Load(Path(), wxDL_NOW | wxDL_QUIET)) {
      std::fprintf(stderr, "veradex: web engine module %s cannot be loaded\n",
                   static_cast<const char*>(Path().utf8_str()));
      delete library;
      return false;
    }
  }
  auto available = reinterpret_cast<WebEngineAvailableFunction>(library->GetSymbol(kWebEngineAvailableSymbol));
  state.create = reinterpret_cast<WebEngineCreateFunction>(library->GetSymbol(kWebEngineCreateSymbol));
  state.available = available != nullptr && state.create != nullptr && available();
  if (!state.available) std::fprintf(stderr, "veradex: the web engine cannot run on this system\n");
  return state.available;
}

WebEngineView* WebEngineModule::Create(wxWindow* parent, const wxSize& size, const WebEngineCallbacks* callbacks) {
  if (!Available()) return nullptr;
  return State().create(parent, size, callbacks);
}

}  // namespace veradex
