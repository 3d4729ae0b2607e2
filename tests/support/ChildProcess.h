#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace veradex::test {

// Runs a program as a separate process, with the caller's environment plus
// the given variables. Output is collected whole. Either Run() waits for it
// at once, or an object starts it and the test acts on its windows while it
// runs, then Wait()s; an object still running when it goes away is killed.
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

  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::map<std::string, std::string>& environment);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  // True once the process has ended (does not wait).
  bool HasExited();
  // Waits for the end, killing the process after the time-out.
  Result Wait(std::chrono::milliseconds timeout = std::chrono::seconds(60));
  pid_t Pid() const { return pid_; }
  // What the process has written to its standard output so far.
  std::string OutputSoFar() const;

 private:
  std::string outputFolder_;
  pid_t pid_ = -1;
  bool reaped_ = false;
  int status_ = 0;
};

}  // namespace veradex::test
