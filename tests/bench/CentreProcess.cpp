#include "CentreProcess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "support/ReportCentreHarness.h"

namespace veradex::test {

namespace {

// Child: runs the centre, sends "<port> <ca file>" up the pipe and serves
// until the parent closes its end.
[[noreturn]] void RunCentre(int toParent, int fromParent) {
  int status = 0;
  {
    ReportCentreHarness harness(TestCertificateAuthority::LeafKind::kValid, 10);
    // As an ordinary HTTPS server does: clients may resume their sessions.
    harness.Centre().SetSessionTickets(2);
    const std::string line = std::to_string(harness.Centre().Port()) + " " + harness.CaFile() + "\n";
    if (write(toParent, line.data(), line.size()) != static_cast<ssize_t>(line.size())) status = 1;
    char byte;
    while (status == 0 && read(fromParent, &byte, 1) > 0) {
    }
    harness.Centre().Stop();
  }
  _exit(status);
}

}  // namespace

CentreProcess::CentreProcess() {
  int up[2];
  int down[2];
  // Close-on-exec: programs this process starts must not hold the centre open.
  if (pipe2(up, O_CLOEXEC) != 0) return;
  if (pipe2(down, O_CLOEXEC) != 0) {
    close(up[0]);
    close(up[1]);
    return;
  }
  child_ = fork();
  if (child_ == 0) {
    close(up[0]);
    close(down[1]);
    RunCentre(up[1], down[0]);
  }
  close(up[1]);
  close(down[0]);
  toChild_ = down[1];
  if (child_ < 0) {
    close(up[0]);
    return;
  }
  std::string answer;
  char c;
  while (read(up[0], &c, 1) == 1 && c != '\n') answer += c;
  close(up[0]);
  const auto blank = answer.find(' ');
  if (blank == std::string::npos) return;
  port_ = std::atoi(answer.c_str());
  caFile_ = answer.substr(blank + 1);
}

CentreProcess::~CentreProcess() {
  if (toChild_ >= 0) close(toChild_);
  if (child_ > 0) waitpid(child_, nullptr, 0);
}

ServerConfig CentreProcess::Config(int timeoutSeconds) const {
  ServerConfig config = ServerConfig::Defaults();
  config.report.host = "localhost";
  config.report.port = port_;
  config.report.explicitPort = true;
  config.version = config.report;
  config.caFile = caFile_;
  config.connectTimeout = timeoutSeconds;
  config.receiveTimeout = timeoutSeconds;
  return config;
}

std::string CentreProcess::Url(const std::string& path) const {
  return "https://localhost:" + std::to_string(port_) + path;
}

}  // namespace veradex::test
