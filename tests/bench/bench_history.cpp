// Times what adding a file to the attachment list costs on the window's
// thread (the summary and hash of a 2 MiB mail, the duplicate look-up in a
// history of 10,000 reports) and what recording one report costs the worker.
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/FileStamp.h"
#include "report/AttachedMail.h"
#include "report/MailModule.h"
#include "report/MailSummary.h"
#include "report/ReportHistory.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

using Clock = std::chrono::steady_clock;

namespace {

template <typename F>
double MillisecondsPerCall(int calls, F&& call) {
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < calls; ++i) call(i);
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / calls;
}

}  // namespace

int main() {
  veradex::MailModule::SetPath(VERADEX_MAIL_MODULE);
  veradex::test::TempDir dir;
  std::string mail =
      "Subject: =?UTF-8?B?7ZWg7J24?=\r\nMessage-ID: <big@spam.example>\r\nFrom: a@spam.example\r\n"
      "Content-Type: text/plain; charset=utf-8\r\n\r\n";
  while (mail.size() < 2 * 1024 * 1024) mail += "spam spam spam spam spam spam spam spam spam spam spam spam\r\n";
  mail.resize(2 * 1024 * 1024);
  const std::string path = dir.Write("big.eml", mail);
  // The libraries' start-up (the mail module, the hash) is not counted, and
  // every line is timed after both have run once (their first use changes
  // how the allocator serves the 2 MiB buffers that follow).
  veradex::MailSummary::FromFile(path);
  veradex::ReportHistory::Sha256(mail.data(), mail.size());
  std::printf("summary of a 2 MiB mail: %.2f ms\n",
              MillisecondsPerCall(20, [&](int) { veradex::MailSummary::FromFile(path); }));
  std::printf("SHA-256 of a 2 MiB mail: %.2f ms\n",
              MillisecondsPerCall(20, [&](int) { veradex::ReportHistory::FileSha256(path); }));
  std::printf("adding a 2 MiB mail to the list (summary, SHA-256 and stamp from one read): %.2f ms\n",
              MillisecondsPerCall(20, [&](int) { veradex::AttachedMail::Read(path); }));

  // What the worker does for each attachment it reported: with what was read
  // when the file was attached, from the bytes as uploaded (the file changed
  // since), and reading the file once more (it was never loaded).
  veradex::ReportHistory recorded(dir.File("recorded"));
  veradex::test::RecordingMessageSink sink;
  // As the list read it when it was added, long enough after it was written.
  const veradex::AttachedMail attached =
      veradex::AttachedMail::Read(path, veradex::FileStamp::NowNs() + 2 * veradex::FileStamp::kSettleNs);
  std::FILE* file = std::fopen(path.c_str(), "rb");
  const veradex::FileStamp loaded = veradex::FileStamp::Of(file);
  std::fclose(file);
  std::printf("worker's record of an uploaded 2 MiB mail, from what was read when it was attached: %.2f ms\n",
              MillisecondsPerCall(20, [&](int) {
                veradex::ReportedAttachment report{path, "SPM_1207_05_1A3.eml", veradex::ReportVerdict::kAccepted, ""};
                report.content = mail.data();
                report.contentLength = mail.size();
                report.attached = &attached;
                report.loadedStamp = loaded;
                recorded.OnAttachmentReported(report, sink);
              }));
  std::printf("worker's record of an uploaded 2 MiB mail, from the uploaded bytes: %.2f ms\n",
              MillisecondsPerCall(20, [&](int) {
                veradex::ReportedAttachment report{path, "SPM_1207_05_1A3.eml", veradex::ReportVerdict::kAccepted, ""};
                report.content = mail.data();
                report.contentLength = mail.size();
                recorded.OnAttachmentReported(report, sink);
              }));
  std::printf(
      "worker's record of an uploaded 2 MiB mail, reading the file again: %.2f ms\n", MillisecondsPerCall(20, [&](int) {
        recorded.OnAttachmentReported({path, "SPM_1207_05_1A3.eml", veradex::ReportVerdict::kAccepted, ""}, sink);
      }));

  veradex::ReportHistory history(dir.File("history"));
  veradex::HistoryEntry entry;
  entry.sentName = "SPM_1207_05_1A3.eml";
  entry.subject = "subject";
  entry.answer = std::string(1024, 'a');
  std::printf("recording one report (one transaction): %.2f ms\n", MillisecondsPerCall(200, [&](int i) {
                entry.time = 1000 + i;
                entry.messageId = "m" + std::to_string(i) + "@spam.example";
                history.Add(entry);
              }));
  for (int i = 200; i < 10000; i += 1) {
    if (i % 1000 == 0) std::fflush(stdout);
    entry.messageId = "m" + std::to_string(i) + "@spam.example";
    history.Add(entry);
  }
  std::printf("duplicate look-up among 10,000 reports: %.3f ms\n", MillisecondsPerCall(1000, [&](int i) {
                history.LastAccepted("m" + std::to_string(i * 7) + "@spam.example", std::string());
              }));
  std::printf("reading all 10,000 reports for the window: %.1f ms\n",
              MillisecondsPerCall(5, [&](int) { history.Entries(); }));
  return 0;
}
