#include "report/ReportSender.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <system_error>
#include <thread>

#include "net/HttpExchange.h"
#include "net/MultipartBody.h"
#include "net/UrlEncoder.h"
#include "platform/LocalTime.h"
#include "platform/LockedRandom.h"

namespace veradex {

ReportSender::ReportSender(ReportForm form, ReportObserver& observer, const ServerConfig& servers,
                           ReportRecorder* recorder)
    : form_(std::move(form)), observer_(observer), servers_(servers), recorder_(recorder) {}

void ReportSender::Record(const std::string& path, const std::string& serverFileName, ReportVerdict verdict,
                          const std::string& answer) {
  if (recorder_ != nullptr) recorder_->OnAttachmentReported({path, serverFileName, verdict, answer}, observer_);
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

void ReportSender::Run(std::atomic<bool>& sending) {
  std::string cookie;

  // Month, day and seconds are taken once for the whole run.
  const std::tm local = LocalTime::Now();

  if (recorder_ != nullptr) recorder_->OnRunStarted();
  bool posted = false;
  for (const std::string& path : form_.attachmentPaths) {
    const auto ticks =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
    LockedRandom::Seed(static_cast<unsigned>(ticks.count()));
    const std::string extension = path.size() >= 3 ? path.substr(path.size() - 3) : path;
    const int random = LockedRandom::Next();
    const std::string name = ServerFileName(local.tm_mon + 1, local.tm_mday, local.tm_sec, random, extension);

    // The body lives for this attachment only; its block goes with it.
    MultipartBody body;
    if (body.AddPart(-1)->LoadFile(kUploadField, path, name, observer_) < 0) {
      Record(path, name, ReportVerdict::kNotSent);
      sending = false;  // the message is shown; the list and the description stay
      return;
    }
    // Uploads never carry a cookie.
    const std::string result =
        HttpExchange::PostMultipart(body, servers_.report, kUploadPath, &observer_, std::string(), servers_, observer_);
    if (result == "false") {
      Record(path, name, ReportVerdict::kNotSent);
      sending = false;
      return;
    }
    // The first upload that set a cookie provides it for every later post.
    if (cookie.empty()) cookie = result;
    // Each attachment is its own report; the last verdict decides the
    // closing message.
    std::string answer;
    posted = HttpExchange::PostForm(FormText(name), servers_.report, kFormPath, cookie, servers_, observer_, &answer);
    // A post that got no answer at all never reached the centre's verdict.
    Record(path, name,
           posted ? ReportVerdict::kAccepted : (answer.empty() ? ReportVerdict::kNotSent : ReportVerdict::kRefused),
           answer);
  }

  if (!posted) {
    // A failed report keeps the description, the rows and the captured mail
    // for another try instead of clearing them.
    observer_.ShowMessage(kReportFailed, kStyleStop);
    sending = false;
    return;
  }
  observer_.ShowMessage(kReportReceived, kStyleStop);
  observer_.OnCleanTempFolder();
  observer_.OnRunEnded();
  sending = false;
  observer_.OnAttachmentsCleared();
  observer_.OnAttachmentCountChanged();
}

namespace {
std::atomic<int> runningWorkers{0};
}  // namespace

bool ReportSender::Start(ReportForm form, ReportObserver& observer, const ServerConfig& servers,
                         std::atomic<bool>& sending, ReportRecorder* recorder) {
  ++runningWorkers;
  try {
    std::thread worker([sender = ReportSender(std::move(form), observer, servers, recorder), &sending]() mutable {
      sender.Run(sending);
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
