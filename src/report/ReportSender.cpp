#include "report/ReportSender.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <system_error>
#include <thread>

#include "net/HttpExchange.h"
#include "net/MultipartBody.h"
#include "net/TlsSessionCache.h"
#include "net/UrlEncoder.h"
#include "platform/LocalTime.h"
#include "platform/LockedRandom.h"
#include "report/ReportTexts.h"

namespace veradex {

namespace {

// Why an exchange failed, for whoever reads the program's standard error; the
// user sees the message chosen for the failure.
void LogFailure(const char* exchange, const ServerAddress& server, const NetOutcome& result) {
  std::fprintf(stderr, "veradex: %s to %s failed: %s\n", exchange, server.HostPort().c_str(),
               result.Describe().c_str());
}

}  // namespace

ReportSender::ReportSender(ReportForm form, ReportObserver& observer, const ServerConfig& servers,
                           ReportRecorder* recorder)
    : form_(std::move(form)), observer_(observer), servers_(servers), recorder_(recorder) {}

void ReportSender::Record(std::size_t index, const std::string& serverFileName, ReportVerdict verdict,
                          const MultipartPart* loaded, const std::string& answer) {
  if (recorder_ == nullptr) return;
  ReportedAttachment report;
  report.path = form_.attachmentPaths[index];
  report.serverFileName = serverFileName;
  report.verdict = verdict;
  report.answer = answer;
  if (loaded != nullptr && loaded->FileBytes() != nullptr) {
    report.content = loaded->FileBytes();
    report.contentLength = loaded->FileLength();
    report.loadedStamp = loaded->LoadedStamp();
  }
  if (index < form_.attachedMails.size()) report.attached = &form_.attachedMails[index];
  recorder_->OnAttachmentReported(report, observer_);
}

std::string ReportSender::ServerFileName(int month, int day, int second, int random, const std::string& extension) {
  char name[64];
  std::snprintf(name, sizeof name, "SPM_%02d%02d_%02d_%2X.", month, day, second, static_cast<unsigned>(random));
  std::string result = name + extension;
  for (char& c : result) {
    if (c == ' ') c = '0';
  }
  return result;
}

std::string ReportSender::FormText(const std::string& serverFileName) const {
  std::string text;
  UrlEncoder::AppendPair(text, "ret_url", "../minwon/list.jsp");
  UrlEncoder::AppendPair(text, "queryid", "null");
  UrlEncoder::AppendPair(text, "q_type", "1");
  UrlEncoder::AppendPair(text, "name", form_.name);
  UrlEncoder::AppendPair(text, "email", form_.email);
  UrlEncoder::AppendPair(text, "tel", form_.tel1 + "-" + form_.tel2 + "-" + form_.tel3);
  UrlEncoder::AppendPair(text, "content", form_.content);
  UrlEncoder::AppendPair(text, "filename", serverFileName);
  UrlEncoder::AppendPair(text, "pwd", form_.password);
  UrlEncoder::AppendPair(text, "channel", "SPM");
  UrlEncoder::AppendPair(text, "menu", "1");
  UrlEncoder::AppendPair(text, "agree1", "1");
  return text;
}

std::string ReportSender::RemainText(int count) {
  char text[160];
  std::snprintf(text, sizeof text, ReportTexts::Get(ReportTexts::kAttachmentsRemain).c_str(), count);
  return text;
}

SendResult ReportSender::Run(std::atomic<bool>& sending) {
  result_ = SendResult();
  result_.form = form_;
  result_.attachments.resize(form_.attachmentPaths.size());
  RunReports(sending);
  observer_.OnRunResult(result_);
  return result_;
}

void ReportSender::RunReports(std::atomic<bool>& sending) {
  std::string cookie;

  // Month, day and seconds are taken once for the whole run.
  const std::tm local = LocalTime::Now();
  // The uploads and posts of a run resume one TLS session with the centre.
  TlsSessionCache sessions;

  // Each attachment's verdict: whether the centre received its report.
  std::vector<bool> received(form_.attachmentPaths.size(), false);
  if (recorder_ != nullptr) recorder_->OnRunStarted();
  bool posted = false;
  for (std::size_t i = 0; i < form_.attachmentPaths.size(); ++i) {
    const std::string& path = form_.attachmentPaths[i];
    AttachmentOutcome& outcome = result_.attachments[i];
    outcome.tried = true;
    const auto ticks =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
    LockedRandom::Seed(static_cast<unsigned>(ticks.count()));
    const std::string extension = path.size() >= 3 ? path.substr(path.size() - 3) : path;
    const int random = LockedRandom::Next();
    const std::string name = ServerFileName(local.tm_mon + 1, local.tm_mday, local.tm_sec, random, extension);

    // The body lives for this attachment only; its block goes with it.
    MultipartBody body;
    if (body.AddPart(-1)->LoadFile(kUploadField, path, name, observer_) < 0) {
      // The message is shown; the run stops.
      outcome.unloadable = true;
      Record(i, name, ReportVerdict::kNotSent);
      return KeepUnreceived(received, sending);
    }
    // Uploads never carry a cookie.
    const NetResult<std::string> uploaded =
        HttpExchange::PostMultipart(body, servers_.report, kUploadPath, &observer_, std::string(), servers_, &sessions);
    if (!uploaded) {
      LogFailure("upload", servers_.report, uploaded);
      observer_.ShowMessage(ReportTexts::ForUpload(uploaded.Error()), kStyleStop);
      outcome.error = uploaded.Error();
      Record(i, name, ReportVerdict::kNotSent, &body.Part(0));
      return KeepUnreceived(received, sending);
    }
    // The first upload that set a cookie provides it for every later post.
    if (cookie.empty()) cookie = uploaded.Value();
    // Each attachment is its own report; the last verdict decides the
    // closing message.
    std::string answer;
    const NetResult<void> reported =
        HttpExchange::PostForm(FormText(name), servers_.report, kFormPath, cookie, servers_, &answer, &sessions);
    if (!reported) {
      LogFailure("report", servers_.report, reported);
      const std::string& message = ReportTexts::ForForm(reported.Error());
      if (!message.empty()) observer_.ShowMessage(message, kStyleStop);
    }
    posted = reported.Ok();
    received[i] = posted;
    if (!posted) outcome.error = reported.Error();
    // Only the centre's own "not received" is a refusal; a post that got no
    // verdict never reached it.
    outcome.verdict =
        posted ? ReportVerdict::kAccepted
               : (reported.Error() == NetError::kRefused ? ReportVerdict::kRefused : ReportVerdict::kNotSent);
    Record(i, name, outcome.verdict, &body.Part(0), answer);
  }

  observer_.ShowMessage(ReportTexts::Get(posted ? ReportTexts::kReportReceived : ReportTexts::kReportFailed),
                        kStyleStop);
  const bool everyReceived = posted && std::find(received.begin(), received.end(), false) == received.end();
  if (!everyReceived) return KeepUnreceived(received, sending);
  observer_.OnCleanTempFolder();
  observer_.OnRunEnded();
  sending = false;
  observer_.OnAttachmentsCleared();
  observer_.OnAttachmentCountChanged();
}

void ReportSender::KeepUnreceived(const std::vector<bool>& received, std::atomic<bool>& sending) {
  std::vector<std::size_t> gone;
  for (std::size_t i = 0; i < received.size(); ++i)
    if (received[i]) gone.push_back(i);
  if (gone.empty()) {
    // Nothing went through: the description, the rows and the captured
    // mail stay for another try.
    sending = false;
    return;
  }
  // What the centre has received must not be reported twice: those rows go,
  // the others and the description stay for another try.
  observer_.ShowMessage(RemainText(static_cast<int>(received.size() - gone.size())), kStyleStop);
  observer_.OnAttachmentsReceived(gone);
  sending = false;
  observer_.OnAttachmentCountChanged();
}

namespace {
std::atomic<int> runningWorkers{0};
}  // namespace

bool ReportSender::Start(ReportForm form, ReportObserver& observer, const ServerConfig& servers,
                         std::atomic<bool>& sending, ReportRecorder* recorder) {
  ++runningWorkers;
  try {
    // The worker counts as running until its sender is gone: the last call on the observer
    // (the run's result) comes after the run's own events, and whoever waits for the count to
    // drop may then release the observer.
    auto sender = std::make_unique<ReportSender>(std::move(form), observer, servers, recorder);
    std::thread worker([sender = std::move(sender), &sending]() mutable {
      sender->Run(sending);
      sender.reset();
      --runningWorkers;
    });
    worker.detach();
    return true;
  } catch (const std::system_error&) {
    --runningWorkers;
    sending = false;
    return false;
  }
}

int ReportSender::RunningWorkers() { return runningWorkers.load(); }

}  // namespace veradex
