#pragma once

#include <string>

namespace veradex {

// The temporary folder "temp" below the program directory, where captured
// messages wait until they are reported.
class TempFolder {
 public:
  // programDir (code page 949, ending in the separator) followed by "temp"
  // and the separator.
  static std::string PathOf(const std::string& programDir);

  // Deletes every file directly in the temp folder below programDir.
  // Sub-folders and their contents, and the folder itself, stay; a file that
  // cannot be deleted (in use, no right) is left without a word. Returns the
  // number of files deleted. An empty programDir deletes nothing (it would
  // name a folder relative to the working directory).
  static int EmptyFiles(const std::string& programDir);
};

}  // namespace veradex
