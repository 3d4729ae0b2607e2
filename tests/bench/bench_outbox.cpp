// Times what the outbox costs the window's thread: keeping a report (copies
// flushed to the disk, then renamed into place), reading a full outbox back
// at start, and cancelling a report.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "report/MailModule.h"
#include "report/Outbox.h"
#include "support/TempDir.h"

using Clock = std::chrono::steady_clock;

namespace {

double Milliseconds(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main() {
  veradex::MailModule::SetPath(VERADEX_MAIL_MODULE);
  veradex::test::TempDir dir;
  std::string mail = "Subject: spam\r\nMessage-ID: <big@spam.example>\r\nFrom: a@spam.example\r\n\r\n";
  mail.resize(2 * 1024 * 1024 - 64, 'x');
  veradex::ReportForm big, small;
  big.name = small.name = "name";
  big.content = small.content = std::string(3000, 'c');
  for (int i = 0; i < 5; ++i) big.attachmentPaths.push_back(dir.Write(std::to_string(i) + "/big.eml", mail));
  small.attachmentPaths.push_back(dir.Write("small.eml", mail.substr(0, 20 * 1024)));

  veradex::Outbox outbox(dir.File("outbox"));
  outbox.WaitingCount();
  const int kRuns = 4;
  std::vector<std::string> ids;
  Clock::time_point start = Clock::now();
  for (int i = 0; i < kRuns; ++i) ids.push_back(outbox.Add(big));
  std::printf("keeping a report of five 2 MiB mails: %.1f ms\n", Milliseconds(start) / kRuns);
  start = Clock::now();
  for (int i = 0; i < 40; ++i) ids.push_back(outbox.Add(small));
  std::printf("keeping a report of one 20 KiB mail: %.1f ms\n", Milliseconds(start) / 40);

  start = Clock::now();
  veradex::Outbox reread(dir.File("outbox"));
  const int waiting = reread.WaitingCount();
  std::printf("reading %d waiting reports back at start: %.1f ms\n", waiting, Milliseconds(start));

  start = Clock::now();
  for (const std::string& id : ids) reread.Cancel(id);
  std::printf("cancelling a report: %.2f ms\n", Milliseconds(start) / static_cast<double>(ids.size()));
  return 0;
}
