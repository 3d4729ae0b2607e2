#include "report/MailModule.h"

#include <wx/dynlib.h>
#include <wx/log.h>

#include <cstdio>
#include <mutex>

#include "platform/ExecutablePath.h"
#include "platform/NativePath.h"
#include "report/MailReader.h"

namespace veradex {

namespace {

struct ModuleState {
  std::mutex mutex;  // guards path and the one attempt to load
  std::string path;
  std::once_flag loaded;
  MailReaderFunction read = nullptr;
};

ModuleState& State() {
  static ModuleState state;
  return state;
}

void Load(ModuleState& state) {
  const std::string path = MailModule::Path();
  wxDynamicLibrary library;
  {
    wxLogNull quiet;  // a missing module is reported once below, not in a dialog
    if (!library.Load(NativePath::ToWx(path), wxDL_NOW | wxDL_QUIET)) {
      std::fprintf(stderr, "veradex: mail module %s cannot be loaded\n", path.c_str());
      return;
    }
  }
  state.read = reinterpret_cast<MailReaderFunction>(library.GetSymbol(kMailReaderSymbol));
  if (state.read == nullptr) std::fprintf(stderr, "veradex: mail module %s has no reader\n", path.c_str());
  // Kept for the life of the process (see the class comment): let go of, never unloaded.
  library.Detach();
}

}  // namespace

void MailModule::SetPath(const std::string& nativePath) {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().path = nativePath;
}

std::string MailModule::Path() {
  std::lock_guard<std::mutex> lock(State().mutex);
  if (State().path.empty()) State().path = ExecutablePath::ModuleBeside("veradex-mail");
  return State().path;
}

bool MailModule::Read(const std::string& bytes, long long size, bool whole, MailSummary* summary) {
  ModuleState& state = State();
  std::call_once(state.loaded, [&state] { Load(state); });
  if (state.read == nullptr) return false;
  state.read(bytes.data(), bytes.size(), size, whole, summary);
  return true;
}

}  // namespace veradex
