// The Linux side of SingleInstanceGuard: flock on the marker's lock file.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "platform/SingleInstanceGuard.h"
#include "platform/UserFolders.h"

namespace veradex {

struct SingleInstanceGuard::Held {
  int fd = -1;
};

SingleInstanceGuard::SingleInstanceGuard(std::string markerName, std::string lockFolder)
    : markerName_(std::move(markerName)), lockFolder_(std::move(lockFolder)) {}

SingleInstanceGuard::~SingleInstanceGuard() {
  // Closing the descriptor releases the lock; the file itself stays, so no
  // other copy can ever lock a file that is about to be removed.
  if (held_) ::close(held_->fd);
}

bool SingleInstanceGuard::Acquire() {
  if (held_) return true;
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
  held_ = std::make_unique<Held>();
  held_->fd = fd;
  return true;
}

}  // namespace veradex
