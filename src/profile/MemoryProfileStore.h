#pragma once

#include <map>
#include <string>
#include <utility>

#include "profile/ProfileStore.h"

namespace veradex {

// A profile held in memory: the store of tests, and of a run whose profile
// file cannot be used at all.
class MemoryProfileStore : public ProfileStore {
 public:
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue = std::string()) const override;
  bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& text) override;
  bool WriteProfileBinary(const std::string& section, const std::string& entry, const std::string& bytes) override;

  bool Has(const std::string& section, const std::string& entry) const;
  // Binary values are kept apart from strings, as the registry keeps their type.
  bool HasBinary(const std::string& section, const std::string& entry) const;
  std::string GetBinary(const std::string& section, const std::string& entry) const;

 private:
  std::map<std::pair<std::string, std::string>, std::string> strings_;
  std::map<std::pair<std::string, std::string>, std::string> binaries_;
};

}  // namespace veradex
