// Runs the test report centre on a loopback port for the benchmark scripts:
// prints "<port> <authority PEM file>" on one line, then serves (the version
// page publishes the program's own version) until SIGTERM or SIGINT.
#include <csignal>
#include <cstdio>

#include <unistd.h>

#include "support/ReportCentreHarness.h"

namespace {
volatile std::sig_atomic_t stop = 0;
void Stop(int) { stop = 1; }
}  // namespace

int main() {
  std::signal(SIGTERM, Stop);
  std::signal(SIGINT, Stop);
  veradex::test::ReportCentreHarness harness(veradex::test::TestCertificateAuthority::LeafKind::kValid, 10);
  // As an ordinary HTTPS server does: clients may resume their sessions.
  harness.Centre().SetSessionTickets(2);
  std::printf("%d %s\n", harness.Centre().Port(), harness.CaFile().c_str());
  std::fflush(stdout);
  while (!stop) {
    // Forget what was received, so a long run does not keep every upload.
    harness.Centre().ClearRecords();
    usleep(200 * 1000);
  }
  harness.Centre().Stop();
  return 0;
}
