#include <io.h>
#include <windows.h>

#include "platform/FileStamp.h"

namespace veradex {

namespace {

// FILETIME counts 100 ns from 1601.
long long NsSinceEpoch(LARGE_INTEGER ticks) { return (ticks.QuadPart - 116444736000000000LL) * 100; }

}  // namespace

FileStamp FileStamp::Of(std::FILE* file) {
  if (file == nullptr) return FileStamp();
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  BY_HANDLE_FILE_INFORMATION info;
  FILE_BASIC_INFO times;
  if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info) ||
      !GetFileInformationByHandleEx(handle, FileBasicInfo, &times, sizeof times)) {
    return FileStamp();
  }
  FileStamp stamp;
  stamp.device = info.dwVolumeSerialNumber;
  stamp.file = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  stamp.size = static_cast<long long>((static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
  stamp.modifiedNs = NsSinceEpoch(times.LastWriteTime);
  stamp.changedNs = NsSinceEpoch(times.ChangeTime);
  return stamp;
}

}  // namespace veradex
