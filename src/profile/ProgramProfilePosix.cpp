#include "profile/ConfigProfileStore.h"
#include "profile/ProgramProfile.h"

namespace veradex {

std::unique_ptr<ProfileStore> ProgramProfile::Open(const std::string& applicationName) {
  return std::make_unique<ConfigProfileStore>(applicationName, Folder());
}

std::string ProgramProfile::Folder() { return ConfigProfileStore::DefaultFolder(); }

}  // namespace veradex
