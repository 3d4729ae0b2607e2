#pragma once

#include <chrono>
#include <cstdio>

namespace veradex {

// What the file system says of an open file that moves whenever its bytes
// change: which file it is (device and number), its length and the times of
// its last write and last status change. Equal stamps of a file taken at two
// moments mean it was not written in between, unless the write fell within
// the clock tick of the stamped one (file times are coarse): a stamp whose
// times lie well before the moment it was taken rules that out.
struct FileStamp {
  // Longer than the coarsest file-system clock (two seconds) plus rounding.
  static constexpr long long kSettleNs = 3'000'000'000LL;

  unsigned long long device = 0;
  unsigned long long file = 0;
  long long size = -1;  // -1: no stamp
  long long modifiedNs = 0;
  long long changedNs = 0;

  // The stamp of an open file; an unknown one when the system gives none.
  static FileStamp Of(std::FILE* file);
  // The real-time clock the file times follow, in nanoseconds since the epoch.
  static long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
  }

  bool Known() const { return size >= 0; }
  // The file's last change lies at least kSettleNs before `momentNs`.
  bool SettledBefore(long long momentNs) const {
    return Known() && (modifiedNs > changedNs ? modifiedNs : changedNs) <= momentNs - kSettleNs;
  }
  bool operator==(const FileStamp& other) const {
    return device == other.device && file == other.file && size == other.size && modifiedNs == other.modifiedNs &&
           changedNs == other.changedNs;
  }
  bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

}  // namespace veradex
