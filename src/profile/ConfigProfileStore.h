#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "profile/ProfileStore.h"

class wxConfigBase;

namespace veradex {

// The profile kept between runs on Linux: a text file
// "<folder>/<application name>.conf" (folder $XDG_CONFIG_HOME/Ambrel, by
// default ~/.config/Ambrel), UTF-8, one "[section]" per section and one
// "name=value" line per value, written through at every change.
// RegistryProfileStore is the Windows counterpart.
//
// Values are code page 949 bytes in the program; every text made of whole
// code page 949 characters comes back byte for byte, blanks, quotes,
// backslashes and line breaks included.
//
// A damaged file (bytes that are not text, lines that are neither a section,
// a value nor a comment) never stops the program: every readable value is
// loaded, the damaged file is kept beside the profile as
// "<name>.conf.damaged-<date>-<time>" and a clean file replaces it. A file
// that cannot be read at all is moved aside the same way; if it can be
// neither read nor moved, the values of this run stay in memory and the file
// is left alone.
class ConfigProfileStore : public ProfileStore {
 public:
  // applicationName: the executable's base name. folder: where the profile
  // file lives; empty for DefaultFolder().
  explicit ConfigProfileStore(const std::string& applicationName, const std::string& folder = std::string());
  ~ConfigProfileStore() override;
  ConfigProfileStore(const ConfigProfileStore&) = delete;
  ConfigProfileStore& operator=(const ConfigProfileStore&) = delete;

  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue = std::string()) const override;
  // Fails (and keeps the old value) for text that is not whole code page 949
  // characters, which could not come back unchanged. True once the value is
  // on disk.
  bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& text) override;
  bool WriteProfileBinary(const std::string& section, const std::string& entry, const std::string& bytes) override;
  // Reads a value written by WriteProfileBinary; false when it is missing or
  // not a binary value.
  bool GetProfileBinary(const std::string& section, const std::string& entry, std::string* bytes) const;

  // $XDG_CONFIG_HOME/Ambrel (an absolute XDG_CONFIG_HOME only), else
  // $HOME/.config/Ambrel.
  static std::string DefaultFolder();

  // The profile file.
  const std::string& FilePath() const { return filePath_; }
  std::string Location() const override { return filePath_; }
  // True when the file found at start was damaged or unreadable.
  bool WasDamaged() const override { return damaged_; }
  // Where the damaged file was kept; empty when nothing was kept.
  std::string DamagedCopyPath() const override { return damagedCopyPath_; }
  // False when changes of this run cannot reach the file (see above).
  bool IsPersistent() const { return persistent_; }

 private:
  void Open();
  bool Flush();
  std::string KeyOf(const std::string& section, const std::string& entry) const;

  std::string applicationName_;
  std::string folder_;
  std::string filePath_;
  bool damaged_ = false;
  bool persistent_ = true;
  bool unsaved_ = false;  // the last write did not reach the file
  std::string damagedCopyPath_;
  mutable std::mutex mutex_;
  std::unique_ptr<wxConfigBase> config_;
};

}  // namespace veradex
