#include <sys/stat.h>

#include "platform/FileStamp.h"

namespace veradex {

FileStamp FileStamp::Of(std::FILE* file) {
  struct stat info;
  if (file == nullptr || ::fstat(fileno(file), &info) != 0) return FileStamp();
  FileStamp stamp;
  stamp.device = static_cast<unsigned long long>(info.st_dev);
  stamp.file = static_cast<unsigned long long>(info.st_ino);
  stamp.size = static_cast<long long>(info.st_size);
  stamp.modifiedNs = static_cast<long long>(info.st_mtim.tv_sec) * 1'000'000'000LL + info.st_mtim.tv_nsec;
  stamp.changedNs = static_cast<long long>(info.st_ctim.tv_sec) * 1'000'000'000LL + info.st_ctim.tv_nsec;
  return stamp;
}

}  // namespace veradex
