#include "profile/ProgramProfile.h"
#include "profile/RegistryProfileStore.h"

namespace veradex {

std::unique_ptr<ProfileStore> ProgramProfile::Open(const std::string& applicationName) {
  return std::make_unique<RegistryProfileStore>(applicationName);
}

std::string ProgramProfile::Folder() { return std::string(); }

}  // namespace veradex
