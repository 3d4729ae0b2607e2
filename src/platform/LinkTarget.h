#pragma once

#include <string>

namespace veradex {

// Where a dropped item leads when it is a link: a symbolic link (followed
// through up to 16 links) or a desktop link file ("*.desktop" with
// [Desktop Entry], Type=Link and a local file:// URL). Paths are native
// file-system bytes.
class LinkTarget {
 public:
  // The target, or an empty text when the path is no link.
  static std::string Resolve(const std::string& path);
  static std::string OfSymbolicLink(const std::string& path);
  static std::string OfDesktopLink(const std::string& path);
};

}  // namespace veradex
