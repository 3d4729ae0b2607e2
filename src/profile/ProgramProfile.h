#pragma once

#include <memory>
#include <string>

#include "profile/ProfileStore.h"

namespace veradex {

// The running program's profile on this system: the registry on Windows
// (RegistryProfileStore), a file on Linux (ConfigProfileStore). The build
// compiles ProgramProfileWin.cpp or ProgramProfilePosix.cpp.
class ProgramProfile {
 public:
  // The profile of the application name (the executable's base name).
  static std::unique_ptr<ProfileStore> Open(const std::string& applicationName);
  // The user's own folder of the profile, where the single-instance marker
  // keeps its lock file; empty where the marker needs none (Windows).
  static std::string Folder();
};

}  // namespace veradex
