#include "platform/SingleInstanceGuard.h"

#include <wx/defs.h>
#include <wx/snglinst.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#endif

#include "platform/UserFolders.h"

namespace veradex {

SingleInstanceGuard::SingleInstanceGuard(std::string markerName, std::string lockFolder)
    : markerName_(std::move(markerName)), lockFolder_(std::move(lockFolder)) {}

SingleInstanceGuard::~SingleInstanceGuard() {
#ifndef _WIN32
  // Closing the descriptor releases the lock; the file itself stays, so no
  // other copy can ever lock a file that is about to be removed.
  if (lockFd_ >= 0) ::close(lockFd_);
#endif
}

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

bool SingleInstanceGuard::Acquire() {
#ifdef _WIN32
  if (!checker_) {
    checker_ = std::make_unique<wxSingleInstanceChecker>();
    if (!checker_->Create(wxString::FromUTF8(markerName_))) return true;
  }
  return !checker_->IsAnotherRunning();
#else
  if (lockFd_ >= 0) return true;
  UserFolders::MakePrivate(lockFolder_);
  const std::string path = LockFilePath();
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;
  int result;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    const bool heldElsewhere = errno == EWOULDBLOCK;
    ::close(fd);
    return !heldElsewhere;
  }
  // For whoever looks at the file: the process that holds it.
  const std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) == 0 && ::write(fd, pid.data(), pid.size()) < 0) {
    // Only informative; the lock is what counts.
  }
  lockFd_ = fd;
  return true;
#endif
}

}  // namespace veradex
