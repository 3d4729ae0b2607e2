#include "support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/TempDir.h"

extern char** environ;

namespace veradex::test {

ChildProcess::Result ChildProcess::Run(const std::string& program, const std::vector<std::string>& arguments,
                                       const std::map<std::string, std::string>& environment,
                                       std::chrono::milliseconds timeout) {
  ChildProcess child(program, arguments, environment);
  return child.Wait(timeout);
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& environment) {
  char folderTemplate[] = "/tmp/veradex-child-XXXXXX";
  if (::mkdtemp(folderTemplate) == nullptr) return;
  outputFolder_ = folderTemplate;
  const std::string outPath = outputFolder_ + "/stdout";
  const std::string errPath = outputFolder_ + "/stderr";

  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const auto eq = text.find('=');
    if (eq != std::string::npos && environment.count(text.substr(0, eq)) != 0) continue;
    env.push_back(text);
  }
  for (const auto& [name, value] : environment) env.push_back(name + "=" + value);
  // Under AddressSanitizer the whole program's end-of-process leak check
  // cannot stop GTK's and the web engine's threads (its tracer crashes and
  // the exit code is lost); its classes are leak-checked in the tests' own
  // process instead.
  if (const char* asan = std::getenv("ASAN_OPTIONS"); asan != nullptr && environment.count("ASAN_OPTIONS") == 0) {
    for (auto& text : env)
      if (text.rfind("ASAN_OPTIONS=", 0) == 0) text += ":detect_leaks=0";
  }
  std::vector<char*> envp;
  for (auto& text : env) envp.push_back(text.data());
  envp.push_back(nullptr);
  std::vector<std::string> args{program};
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& text : args) argv.push_back(text.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid < 0) return;
  if (pid == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  pid_ = pid;
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !reaped_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status_, 0);
  }
  if (!outputFolder_.empty()) {
    std::error_code error;
    std::filesystem::remove_all(outputFolder_, error);
  }
}

bool ChildProcess::HasExited() {
  if (pid_ <= 0 || reaped_) return true;
  const pid_t done = ::waitpid(pid_, &status_, WNOHANG);
  if (done == pid_ || (done < 0 && errno != EINTR)) reaped_ = true;
  return reaped_;
}

ChildProcess::Result ChildProcess::Wait(std::chrono::milliseconds timeout) {
  Result result;
  if (pid_ <= 0) return result;
  result.started = true;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!HasExited()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status_, 0);
      reaped_ = true;
      result.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!result.timedOut && WIFEXITED(status_)) {
    result.exitCode = WEXITSTATUS(status_);
    if (result.exitCode == 127) result.started = false;
  }
  result.standardOutput = ReadFileBytes(outputFolder_ + "/stdout");
  result.standardError = ReadFileBytes(outputFolder_ + "/stderr");
  return result;
}

std::string ChildProcess::OutputSoFar() const {
  return outputFolder_.empty() ? std::string() : ReadFileBytes(outputFolder_ + "/stdout");
}

}  // namespace veradex::test
