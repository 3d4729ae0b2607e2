#pragma once

#include <string>

namespace veradex {

// Files that must survive a crash or a power cut whole: written, flushed to
// the disk and only then put in place by a rename. Paths as the file system
// spells them. Each operation returns false when it failed; nothing is said.
class DurableFile {
 public:
  // Creates the file (it must not exist), private to the user (0600), writes
  // the bytes and flushes them to the disk before it returns.
  static bool WriteNew(const std::string& path, const std::string& bytes);
  // Creates a folder private to the user (0700); it must not exist.
  static bool MakeFolder(const std::string& path);
  // Renames a file (replacing one of the new name) or a folder (the new name
  // must not exist), and flushes the folder that holds the new name.
  static bool Rename(const std::string& from, const std::string& to);
  // Flushes a folder's list of names (new, renamed and removed entries) to
  // the disk.
  static bool SyncFolder(const std::string& folder);
};

}  // namespace veradex
