// Uploads a 2 MiB message to the test report centre with PostMultipart and,
// for comparison, the same multipart POST with curl, several times each in one
// run, and prints the ratio of the median times (ours / curl).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "net/HttpExchange.h"
#include "support/RecordingMessageSink.h"
#include "support/ReportCentreHarness.h"

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
  veradex::test::ReportCentreHarness harness(veradex::test::TestCertificateAuthority::LeafKind::kValid, 10);
  veradex::test::TestReportCentre& centre = harness.Centre();
  std::string message = "From: spammer@example.com\r\nSubject: offer\r\n\r\n";
  message.resize(2 * 1024 * 1024, 'x');
  const std::string path = harness.Temp().Write("SPM_0101_00_AB.eml", message);
  const std::string url =
      "https://localhost:" + std::to_string(centre.Port()) + veradex::test::TestReportCentre::kUploadPath;
  const std::string curl = "curl -sS -o /dev/null --cacert '" + harness.CaFile() +
                           "' -H 'Expect:' -H 'User-Agent: Veradex3.1' -F 'attach=@" + path +
                           ";filename=SPM_0101_00_AB.eml;type=application/octet-stream' '" + url + "'";

  std::vector<double> ours;
  std::vector<double> theirs;
  veradex::test::RecordingMessageSink sink;
  for (int i = 0; i < repetitions; ++i) {
    auto start = Clock::now();
    {
      veradex::MultipartBody body;
      body.AddPart(-1)->LoadFile("attach", path, "SPM_0101_00_AB.eml", sink);
      const auto uploaded = veradex::HttpExchange::PostMultipart(
          body, harness.Config().report, veradex::test::TestReportCentre::kUploadPath, nullptr, "", harness.Config());
      if (!uploaded) {
        std::fprintf(stderr, "upload failed: %s\n", uploaded.Describe().c_str());
        return 1;
      }
    }
    ours.push_back(Milliseconds(Clock::now() - start));

    start = Clock::now();
    if (std::system(curl.c_str()) != 0) {
      std::fprintf(stderr, "curl failed\n");
      return 1;
    }
    theirs.push_back(Milliseconds(Clock::now() - start));
    centre.ClearRecords();
  }
  const double oursMedian = Median(ours);
  const double curlMedian = Median(theirs);
  std::printf("repetitions: %d\n", repetitions);
  std::printf("PostMultipart median: %.2f ms\n", oursMedian);
  std::printf("curl median: %.2f ms\n", curlMedian);
  std::printf("ratio: %.3f\n", oursMedian / curlMedian);
  return 0;
}
