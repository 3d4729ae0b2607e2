// Times a full report of five 2 MiB attachments against the test report
// centre and, for comparison, the same five uploads and five form posts made
// with libcurl in this process, several times each in one run; prints the
// peak memory of the reporting process and the machine's floor for the work
// (one loopback TLS handshake plus AES-128-GCM encryption and decryption of
// the bytes sent). The centre runs in a child process so its own buffers do
// not count. Both clients wait on the same server, so the CPU time each
// spends per report (on this thread) is compared too, "cpu_ratio: <ours /
// libcurl>", printed just before the last line, "ratio: <ours / libcurl>"
// (wall time); lower is better.
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "CentreProcess.h"
#include "CurlBaseline.h"
#include "MachineFloor.h"
#include "ThreadCpu.h"
#include "net/UrlEncoder.h"
#include "report/ReportSender.h"
#include "report/ReportTexts.h"
#include "support/RecordingReportObserver.h"
#include "support/TempDir.h"

using Clock = std::chrono::steady_clock;

namespace {

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

// The twelve fields of one report, as the worker sends them.
std::string FormText(const veradex::ReportForm& form, const std::string& fileName) {
  std::string text;
  using veradex::UrlEncoder;
  UrlEncoder::AppendPair(text, "ret_url", "../minwon/list.jsp");
  UrlEncoder::AppendPair(text, "queryid", "null");
  UrlEncoder::AppendPair(text, "q_type", "1");
  UrlEncoder::AppendPair(text, "name", form.name);
  UrlEncoder::AppendPair(text, "email", form.email);
  UrlEncoder::AppendPair(text, "tel", form.tel1 + "-" + form.tel2 + "-" + form.tel3);
  UrlEncoder::AppendPair(text, "content", form.content);
  UrlEncoder::AppendPair(text, "filename", fileName);
  UrlEncoder::AppendPair(text, "pwd", form.password);
  UrlEncoder::AppendPair(text, "channel", "SPM");
  UrlEncoder::AppendPair(text, "menu", "1");
  UrlEncoder::AppendPair(text, "agree1", "1");
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::atoi(argv[1]) : 5;
  veradex::test::CentreProcess centre;
  if (!centre.Ok()) {
    std::fprintf(stderr, "the test centre did not start\n");
    return 1;
  }
  const veradex::ServerConfig servers = centre.Config();

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
  const std::string formText = FormText(form, "SPM_0101_00_1A.eml");
  const veradex::test::CurlBaseline curl(centre.Url(""), centre.CaFile());

  const long before = PeakKilobytes();
  std::vector<double> times, library, oursCpu, libraryCpu;
  auto ourReport = [&] {
    std::atomic<bool> sending{true};
    veradex::test::RecordingReportObserver observer(&sending);
    const auto start = Clock::now();
    const double cpuStart = veradex::test::ThreadCpuMilliseconds();
    veradex::ReportSender(form, observer, servers).Run(sending);
    times.push_back(Milliseconds(Clock::now() - start));
    oursCpu.push_back(veradex::test::ThreadCpuMilliseconds() - cpuStart);
    if (observer.Milestones().front() !=
        "message:" + veradex::ReportTexts::Get(veradex::ReportTexts::kReportReceived)) {
      std::fprintf(stderr, "report failed\n");
      return false;
    }
    return true;
  };
  auto libraryReport = [&] {
    const auto start = Clock::now();
    const double cpuStart = veradex::test::ThreadCpuMilliseconds();
    if (!curl.Report(form.attachmentPaths, formText)) {
      std::fprintf(stderr, "libcurl report failed\n");
      return false;
    }
    library.push_back(Milliseconds(Clock::now() - start));
    libraryCpu.push_back(veradex::test::ThreadCpuMilliseconds() - cpuStart);
    return true;
  };
  // Each goes first in every other round, so that neither always follows the
  // other into the caches.
  for (int i = 0; i < repetitions; ++i) {
    const bool oursFirst = i % 2 == 0;
    if (!(oursFirst ? ourReport() : libraryReport()) || !(oursFirst ? libraryReport() : ourReport())) return 1;
  }
  // Bytes on the wire at the HTTP level: five bodies of one part each, the
  // request heads and the forms are small beside them.
  const std::size_t bytes = 5 * (2 * 1024 * 1024 + 200);
  const veradex::test::MachineFloor floor = veradex::test::MachineFloor::Measure(bytes);

  std::sort(times.begin(), times.end());
  const double ours = Median(times);
  const double libcurl = Median(library);
  std::printf("repetitions: %d\n", repetitions);
  std::printf("report of 5 x 2 MiB, median: %.1f ms (min %.1f, max %.1f)\n", ours, times.front(), times.back());
  std::printf("libcurl in-process, 5 uploads + 5 form posts, median: %.1f ms\n", libcurl);
  std::printf("peak memory before the reports: %ld KiB\n", before);
  std::printf("peak memory: %ld KiB\n", PeakKilobytes());
  std::printf("floor: %.2f ms (handshake %.2f, AES-128-GCM encrypt %.2f + decrypt %.2f)\n", floor.TotalMs(1),
              floor.handshakeMs, floor.encryptMs, floor.decryptMs);
  std::printf("report / floor: %.2f\n", ours / floor.TotalMs(1));
  std::printf("libcurl / floor: %.2f\n", libcurl / floor.TotalMs(1));
  const double oursCpuMedian = Median(oursCpu);
  const double libraryCpuMedian = Median(libraryCpu);
  std::printf("report CPU time, median: %.1f ms\n", oursCpuMedian);
  std::printf("libcurl CPU time, median: %.1f ms\n", libraryCpuMedian);
  std::printf("cpu_ratio: %.3f\n", oursCpuMedian / libraryCpuMedian);
  std::printf("ratio: %.3f\n", ours / libcurl);
  return 0;
}
