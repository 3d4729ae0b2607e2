#include "profile/ProfileStore.h"

#include "profile/MemoryProfileStore.h"

namespace veradex {

namespace {
ProfileStore* currentStore = nullptr;
}

ProfileStore& ProfileStore::Current() {
  if (currentStore == nullptr) {
    // Nothing set a store yet: keep values in memory rather than fail.
    static MemoryProfileStore fallback;
    return fallback;
  }
  return *currentStore;
}

void ProfileStore::SetCurrent(ProfileStore* store) { currentStore = store; }

}  // namespace veradex
