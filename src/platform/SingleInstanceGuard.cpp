#include "platform/SingleInstanceGuard.h"

namespace veradex {

std::string SingleInstanceGuard::LockFileName(const std::string& markerName) {
  std::string name;
  for (const char c : markerName) {
    const bool plain =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
    name += plain ? c : '_';
  }
  return name + ".lock";
}

std::string SingleInstanceGuard::LockFilePath() const {
  std::string folder = lockFolder_;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + LockFileName(markerName_);
}

}  // namespace veradex
