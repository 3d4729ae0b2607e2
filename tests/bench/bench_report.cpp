// Times a full report of five 2 MiB attachments against the test report
// centre and prints the peak memory of the reporting process. The centre runs
// in a child process so its own buffers do not count.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "report/ReportSender.h"
#include "report/ReportTexts.h"
#include "support/RecordingReportObserver.h"
#include "support/ReportCentreHarness.h"
#include "support/TempDir.h"

using Clock = std::chrono::steady_clock;

namespace {

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Child: runs the centre, sends "<port> <ca file>" up the pipe and serves
// until the parent closes its end.
[[noreturn]] void RunCentre(int toParent, int fromParent) {
  veradex::test::ReportCentreHarness harness(veradex::test::TestCertificateAuthority::LeafKind::kValid, 10);
  const std::string line = std::to_string(harness.Centre().Port()) + " " + harness.CaFile() + "\n";
  if (write(toParent, line.data(), line.size()) != static_cast<ssize_t>(line.size())) _exit(1);
  char byte;
  while (read(fromParent, &byte, 1) > 0) {
  }
  harness.Centre().Stop();
  _exit(0);
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::atoi(argv[1]) : 5;
  int up[2];
  int down[2];
  if (pipe(up) != 0 || pipe(down) != 0) return 1;
  const pid_t child = fork();
  if (child == 0) {
    close(up[0]);
    close(down[1]);
    RunCentre(up[1], down[0]);
  }
  close(up[1]);
  close(down[0]);
  char text[4096] = {};
  std::size_t length = 0;
  while (length < sizeof text - 1 && (length == 0 || text[length - 1] != '\n')) {
    const ssize_t count = read(up[0], text + length, sizeof text - 1 - length);
    if (count <= 0) return 1;
    length += static_cast<std::size_t>(count);
  }
  const std::string answer(text, length - 1);
  const int port = std::atoi(answer.c_str());
  const std::string caFile = answer.substr(answer.find(' ') + 1);

  veradex::ServerConfig servers = veradex::ServerConfig::Defaults();
  servers.report.host = "localhost";
  servers.report.port = port;
  servers.caFile = caFile;

  veradex::test::TempDir temp;
  veradex::ReportForm form;
  form.name = "\xC8\xAB\xB1\xE6\xB5\xBF";
  form.email = "hong@example.kr";
  form.tel1 = "02";
  form.tel2 = "123";
  form.tel3 = "4567";
  form.content = "bench";
  form.password = "pw";
  for (int i = 0; i < 5; ++i) {
    std::string message = "Subject: " + std::to_string(i) + "\r\n\r\n";
    message.resize(2 * 1024 * 1024, static_cast<char>('a' + i));
    form.attachmentPaths.push_back(temp.Write("mail" + std::to_string(i) + ".eml", message));
  }

  const long before = PeakKilobytes();
  std::vector<double> times;
  for (int i = 0; i < repetitions; ++i) {
    std::atomic<bool> sending{true};
    veradex::test::RecordingReportObserver observer(&sending);
    const auto start = Clock::now();
    veradex::ReportSender(form, observer, servers).Run(sending);
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    if (observer.Milestones().front() !=
        "message:" + veradex::ReportTexts::Get(veradex::ReportTexts::kReportReceived)) {
      std::fprintf(stderr, "report failed\n");
      return 1;
    }
  }
  close(down[1]);
  waitpid(child, nullptr, 0);

  std::sort(times.begin(), times.end());
  std::printf("repetitions: %d\n", repetitions);
  std::printf("report of 5 x 2 MiB, median: %.1f ms (min %.1f, max %.1f)\n", times[times.size() / 2], times.front(),
              times.back());
  std::printf("peak memory before the reports: %ld KiB\n", before);
  std::printf("peak memory: %ld KiB\n", PeakKilobytes());
  return 0;
}
