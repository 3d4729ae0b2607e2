#pragma once

#include <string>

namespace veradex {

// The per-user profile: sections of named values, every value code page 949
// bytes. Missing values read as the caller's default; nothing is ever deleted.
// Flags are "1" for on and "" for off; any non-empty text reads as on.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;

  virtual std::string GetProfileString(const std::string& section, const std::string& entry,
                                       const std::string& defaultValue = std::string()) const = 0;
  virtual bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& text) = 0;
  virtual bool WriteProfileBinary(const std::string& section, const std::string& entry, const std::string& bytes) = 0;

  // For a store kept in a file: true when the file found at opening was
  // damaged or unreadable, where the damaged file was kept (empty when it
  // could not be kept, and this run's changes stay in memory), and the file.
  virtual bool WasDamaged() const { return false; }
  virtual std::string DamagedCopyPath() const { return std::string(); }
  virtual std::string Location() const { return std::string(); }

  bool GetProfileFlag(const std::string& section, const std::string& entry) const {
    return !GetProfileString(section, entry).empty();
  }

  // The store the running program uses (set once by start-up; tests set their own).
  static ProfileStore& Current();
  static void SetCurrent(ProfileStore* store);
};

// Section and value names of the profile.
namespace profile {
inline constexpr const char* kOptions = "Options";
inline constexpr const char* kEnvironments = "environments";
inline constexpr const char* kServers = "servers";
}  // namespace profile

}  // namespace veradex
