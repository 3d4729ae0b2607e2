#include "profile/MemoryProfileStore.h"

namespace veradex {

std::string MemoryProfileStore::GetProfileString(const std::string& section, const std::string& entry,
                                                 const std::string& defaultValue) const {
  const auto it = strings_.find({section, entry});
  return it == strings_.end() ? defaultValue : it->second;
}

bool MemoryProfileStore::WriteProfileString(const std::string& section, const std::string& entry,
                                            const std::string& text) {
  strings_[{section, entry}] = text;
  return true;
}

bool MemoryProfileStore::WriteProfileBinary(const std::string& section, const std::string& entry,
                                            const std::string& bytes) {
  binaries_[{section, entry}] = bytes;
  return true;
}

bool MemoryProfileStore::Has(const std::string& section, const std::string& entry) const {
  return strings_.count({section, entry}) != 0;
}

bool MemoryProfileStore::HasBinary(const std::string& section, const std::string& entry) const {
  return binaries_.count({section, entry}) != 0;
}

std::string MemoryProfileStore::GetBinary(const std::string& section, const std::string& entry) const {
  const auto it = binaries_.find({section, entry});
  return it == binaries_.end() ? std::string() : it->second;
}

}  // namespace veradex
