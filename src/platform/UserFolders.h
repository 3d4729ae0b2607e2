#pragma once

#include <string>

namespace veradex {

// Where the user's own files go, and the private folders made there.
// On Linux the XDG base folders: the variable when it holds an absolute path
// (a relative one is ignored, as the base directory rules say), else the
// usual folder under the home folder. On Windows (read in UTF-16, returned
// in UTF-8) the roaming application data folder (%APPDATA%) for settings and
// data, the local one (%LOCALAPPDATA%) for state and cache.
class UserFolders {
 public:
  enum class Kind {
    kConfig,  // XDG_CONFIG_HOME, ~/.config
    kData,    // XDG_DATA_HOME, ~/.local/share
    kState,   // XDG_STATE_HOME, ~/.local/state
    kCache,   // XDG_CACHE_HOME, ~/.cache
  };

  // The base folder of that kind, without a closing separator; empty when
  // neither the variable nor a home folder is known.
  static std::string Base(Kind kind);

  // The home folder: HOME (Windows: USERPROFILE), else the account's own;
  // empty when neither is known.
  static std::string Home();

  // Makes the folder and any missing parents, each one private to the user
  // (0700); folders that exist stay as they are. True when it exists after.
  static bool MakePrivate(const std::string& folder);
};

}  // namespace veradex
