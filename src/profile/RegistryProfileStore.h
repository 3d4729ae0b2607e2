#pragma once

#include <string>

#include "profile/ProfileStore.h"

namespace veradex {

// The profile kept between runs on Windows: the registry key
// HKEY_CURRENT_USER\Software\Ambrel\<application name>, one subkey per
// section ("Options", "environments", ...), one value per entry, written at
// every change. Strings are REG_SZ and binary values REG_BINARY.
//
// Values are code page 949 bytes in the program. The registry keeps text in
// UTF-16, so the store converts with its own code page 949 table rather than
// the system's code page: a Korean value comes back byte for byte on a
// Windows of any language. ConfigProfileStore is the Linux counterpart.
class RegistryProfileStore : public ProfileStore {
 public:
  static constexpr const char* kCompanyKey = "Software\\Ambrel";

  // applicationName: the executable's base name. keyPath: the key below
  // HKEY_CURRENT_USER; empty for kCompanyKey\<applicationName>.
  explicit RegistryProfileStore(const std::string& applicationName, const std::string& keyPath = std::string());

  // A value that is missing, or is not a string, reads as the default.
  // Characters code page 949 lacks (a value edited by hand) read as '?'.
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue = std::string()) const override;
  // Fails (and keeps the old value) for text that is not whole code page 949
  // characters, which could not come back unchanged. True once the registry
  // holds the value.
  bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& text) override;
  bool WriteProfileBinary(const std::string& section, const std::string& entry, const std::string& bytes) override;
  // A value written by WriteProfileBinary; false when it is missing or not
  // a binary value.
  bool GetProfileBinary(const std::string& section, const std::string& entry, std::string* bytes) const;

  // The key below HKEY_CURRENT_USER (UTF-8).
  const std::string& KeyPath() const { return keyPath_; }

 private:
  bool WriteValue(const std::string& section, const std::string& entry, unsigned long type, const void* data,
                  unsigned long size);
  // The value's type and bytes; false when it is missing.
  bool ReadValue(const std::string& section, const std::string& entry, unsigned long* type, std::string* data) const;

  std::string keyPath_;
};

}  // namespace veradex
