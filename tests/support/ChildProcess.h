#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace veradex::test {

// Runs a program as a separate process and waits for it, with the caller's
// environment plus the given variables. Output is collected whole.
class ChildProcess {
 public:
  struct Result {
    bool started = false;   // the program could be run at all
    bool timedOut = false;  // it was killed after the time-out
    int exitCode = -1;      // exit status, or -1 when it did not exit normally
    std::string standardOutput;
    std::string standardError;
  };

  static Result Run(const std::string& program, const std::vector<std::string>& arguments,
                    const std::map<std::string, std::string>& environment,
                    std::chrono::milliseconds timeout = std::chrono::seconds(60));
};

}  // namespace veradex::test
