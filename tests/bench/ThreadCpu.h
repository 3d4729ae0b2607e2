#pragma once

#include <sys/resource.h>

namespace veradex::test {

// The CPU time (user and system) the calling thread has used so far, in
// milliseconds. Both clients of the upload and report benchmarks run on the
// benchmark's own thread, so the difference across one run is what that
// run cost the client, whatever the server's wall time.
inline double ThreadCpuMilliseconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

}  // namespace veradex::test
