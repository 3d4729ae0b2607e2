// Uploads a 2 MiB message to the test report centre with PostMultipart and,
// for comparison, the same multipart POST with libcurl in this process (a
// fresh connection each time, the same file and authority), several times
// each in one run. Also prints curl(1)'s own measure of the same upload and
// the machine's floor for the work: one loopback TLS handshake plus
// AES-128-GCM encryption and decryption of the bytes sent.
// Both clients wait on the same server, so their wall times say little of
// their own cost: the CPU time each spends per upload (on this thread) is
// compared too, "cpu_ratio: <ours / libcurl>", printed just before the last
// line, "ratio: <ours / libcurl>" (wall time); lower is better.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "CentreProcess.h"
#include "CurlBaseline.h"
#include "MachineFloor.h"
#include "ThreadCpu.h"
#include "net/HttpExchange.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

using Clock = std::chrono::steady_clock;

namespace {

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::atoi(argv[1]) : 15;
  veradex::test::CentreProcess centre;
  if (!centre.Ok()) {
    std::fprintf(stderr, "the test centre did not start\n");
    return 1;
  }
  const veradex::ServerConfig config = centre.Config();
  veradex::test::TempDir temp;
  const char kWireName[] = "SPM_0101_00_AB.eml";
  std::string message = "From: spammer@example.com\r\nSubject: offer\r\n\r\n";
  message.resize(2 * 1024 * 1024, 'x');
  const std::string path = temp.Write(kWireName, message);
  const veradex::test::CurlBaseline curl(centre.Url(""), centre.CaFile());

  std::vector<double> ours, library, tool, toolWall, oursCpu, libraryCpu;
  veradex::test::RecordingMessageSink sink;
  long long bodyBytes = 0;
  auto ourUpload = [&] {
    const auto start = Clock::now();
    const double cpuStart = veradex::test::ThreadCpuMilliseconds();
    veradex::MultipartBody body;
    body.AddPart(-1)->LoadFile("attach", path, kWireName, sink);
    bodyBytes = body.ContentLength();
    const auto uploaded =
        veradex::HttpExchange::PostMultipart(body, config.report, "/attach_query/attach.jsp", nullptr, "", config);
    if (!uploaded) {
      std::fprintf(stderr, "upload failed: %s\n", uploaded.Describe().c_str());
      return false;
    }
    ours.push_back(Milliseconds(Clock::now() - start));
    oursCpu.push_back(veradex::test::ThreadCpuMilliseconds() - cpuStart);
    return true;
  };
  auto libraryUpload = [&] {
    const auto start = Clock::now();
    const double cpuStart = veradex::test::ThreadCpuMilliseconds();
    if (!curl.Upload(path, kWireName)) {
      std::fprintf(stderr, "libcurl upload failed\n");
      return false;
    }
    library.push_back(Milliseconds(Clock::now() - start));
    libraryCpu.push_back(veradex::test::ThreadCpuMilliseconds() - cpuStart);
    return true;
  };
  // Each goes first in every other round, so that neither always follows the
  // other (or a process start) into the caches.
  for (int i = 0; i < repetitions; ++i) {
    const bool oursFirst = i % 2 == 0;
    if (!(oursFirst ? ourUpload() : libraryUpload()) || !(oursFirst ? libraryUpload() : ourUpload())) return 1;
  }
  // curl(1) on its own afterwards: its process starts disturb the others.
  for (int i = 0; i < repetitions; ++i) {
    double curlMs = 0, wallMs = 0;
    if (!curl.CommandLineUpload(path, kWireName, &curlMs, &wallMs)) {
      std::fprintf(stderr, "curl failed\n");
      return 1;
    }
    tool.push_back(curlMs);
    toolWall.push_back(wallMs);
  }
  const veradex::test::MachineFloor floor = veradex::test::MachineFloor::Measure(static_cast<std::size_t>(bodyBytes));
  const double oursMedian = Median(ours);
  const double libraryMedian = Median(library);
  std::printf("repetitions: %d\n", repetitions);
  std::printf("PostMultipart median: %.2f ms\n", oursMedian);
  std::printf("libcurl in-process median: %.2f ms\n", libraryMedian);
  std::printf("curl command line (-w %%{time_total}) median: %.2f ms (process wall time %.2f ms)\n", Median(tool),
              Median(toolWall));
  std::printf("floor: %.2f ms (handshake %.2f, AES-128-GCM encrypt %.2f + decrypt %.2f of %lld bytes)\n",
              floor.TotalMs(1), floor.handshakeMs, floor.encryptMs, floor.decryptMs, bodyBytes);
  std::printf("PostMultipart / floor: %.2f\n", oursMedian / floor.TotalMs(1));
  std::printf("libcurl / floor: %.2f\n", libraryMedian / floor.TotalMs(1));
  const double oursCpuMedian = Median(oursCpu);
  const double libraryCpuMedian = Median(libraryCpu);
  std::printf("PostMultipart CPU time per upload, median: %.2f ms\n", oursCpuMedian);
  std::printf("libcurl CPU time per upload, median: %.2f ms\n", libraryCpuMedian);
  std::printf("cpu_ratio: %.3f\n", oursCpuMedian / libraryCpuMedian);
  std::printf("ratio: %.3f\n", oursMedian / libraryMedian);
  return 0;
}
