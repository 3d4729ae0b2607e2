#include "report/OutboxSender.h"

#include <atomic>
#include <cstdio>

#include "net/HttpExchange.h"
#include "platform/Cp949.h"
#include "report/OutboxRules.h"
#include "report/ReportObserver.h"
#include "report/ReportSender.h"
#include "report/ReportTexts.h"
#include "report/VersionCheck.h"

namespace veradex {

namespace {

// The worker's notices in a run nobody watches: its messages go to the log,
// progress and the window's notices nowhere.
class UnattendedObserver : public ReportObserver {
 public:
  int ShowMessage(const std::string& text, unsigned style) override {
    std::fprintf(stderr, "veradex: outbox: %s\n", static_cast<const char*>(Cp949::ToWx(text).utf8_str()));
    return (style & 0x0F) == kMbYesNo ? kIdNo : kIdOk;
  }
  void OnProgress(int) override {}
  void OnCleanTempFolder() override {}
  void OnRunEnded() override {}
  void OnAttachmentsCleared() override {}
  void OnAttachmentsReceived(const std::vector<std::size_t>&) override {}
  void OnAttachmentCountChanged() override {}
};

std::string Formatted(ReportTexts::Text text, int count) {
  char out[512];
  std::snprintf(out, sizeof out, ReportTexts::Get(text).c_str(), count);
  return out;
}

}  // namespace

OutboxSender::OutboxSender(Outbox& outbox, RetrySchedule& schedule, ReportRecorder* recorder)
    : outbox_(outbox), schedule_(schedule), recorder_(recorder) {}

std::string OutboxSender::Current() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return current_;
}

void OutboxSender::SetCurrent(const std::string& id) {
  std::lock_guard<std::mutex> lock(mutex_);
  current_ = id;
}

OutboxSender::Round OutboxSender::RunRound(const ServerConfig& servers, const std::function<bool()>& userSending) {
  Round round;
  // No waiting report goes out from a program the centre wants upgraded.
  const NetResult<std::string> page = HttpExchange::QueryPage(servers.version, VersionCheck::kVersionPath, servers);
  if (page) {
    const std::string published = VersionCheck::PublishedVersion(page.Value());
    if (!published.empty() && published != VersionCheck::kOwnVersion) round.end = Round::End::kUpgrade;
  } else if (page.Error() == NetError::kCertificate) {
    round.end = Round::End::kCertificate;
  }

  for (const OutboxEntry& listed : round.end == Round::End::kDone ? outbox_.Waiting() : std::vector<OutboxEntry>()) {
    if (userSending && userSending()) {
      round.end = Round::End::kUserSending;
      break;
    }
    // Marked first: from now on the entry cannot be cancelled; one cancelled
    // since the round began is passed over.
    SetCurrent(listed.id);
    OutboxEntry entry;
    if (!outbox_.Find(listed.id, &entry) || entry.waiting.empty()) {
      SetCurrent(std::string());
      continue;
    }
    UnattendedObserver observer;
    std::atomic<bool> sending{true};
    const SendResult result = ReportSender(entry.Form(), observer, servers, recorder_).Run(sending);
    std::vector<std::size_t> received, refused;
    bool unreached = false, stop = false;
    for (std::size_t i = 0; i < result.attachments.size(); ++i) {
      switch (OutboxRules::FateOf(result.attachments[i])) {
        case OutboxRules::Fate::kReceived:
          received.push_back(i);
          break;
        case OutboxRules::Fate::kRefused:
          refused.push_back(i);
          break;
        case OutboxRules::Fate::kStop:
          stop = true;
          break;
        case OutboxRules::Fate::kWait:
          unreached = unreached || result.attachments[i].tried;
          break;
      }
    }
    if (!outbox_.Settle(entry.id, received, refused))
      std::fprintf(stderr, "veradex: outbox: entry %s could not be updated\n", entry.id.c_str());
    SetCurrent(std::string());
    if (received.size() == result.attachments.size())
      ++round.delivered;
    else if (!refused.empty() && received.size() + refused.size() == result.attachments.size())
      ++round.refused;
    if (stop) {
      round.end = Round::End::kCertificate;
      break;
    }
    if (unreached) {
      round.end = Round::End::kUnreachable;
      break;
    }
  }

  switch (round.end) {
    case Round::End::kDone:
      schedule_.OnProgress();
      break;
    case Round::End::kUnreachable:
      schedule_.OnUnreachable();
      break;
    case Round::End::kCertificate:
    case Round::End::kUpgrade:
      schedule_.Stop();
      break;
    case Round::End::kUserSending:
      break;
  }
  round.waiting = outbox_.WaitingCount();
  return round;
}

std::string OutboxSender::NoticeText(const Round& round) {
  std::string text;
  const auto add = [&text](const std::string& line) { text += (text.empty() ? "" : "\n") + line; };
  if (round.delivered > 0) add(Formatted(ReportTexts::kOutboxDelivered, round.delivered));
  if (round.refused > 0) add(Formatted(ReportTexts::kOutboxRefused, round.refused));
  if (round.waiting > 0) {
    if (round.end == Round::End::kCertificate) add(ReportTexts::Get(ReportTexts::kOutboxCertificate));
    if (round.end == Round::End::kUpgrade) add(ReportTexts::Get(ReportTexts::kOutboxUpgrade));
  }
  return text;
}

std::string OutboxSender::TipText(int waiting) {
  if (waiting <= 0) return "Veradex";
  return "Veradex\n" + Formatted(ReportTexts::kOutboxWaitingTip, waiting);
}

}  // namespace veradex
