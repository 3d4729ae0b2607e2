#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "net/ServerConfig.h"
#include "report/Outbox.h"
#include "report/RetrySchedule.h"

namespace veradex {

class ReportRecorder;

// Sends the outbox's waiting reports, one at a time, each through the same
// submission worker as a send from the window (same requests, same verdict
// rules, recorded in the same history), and moves the schedule on. Its
// messages are not shown: a round ends in a Round, which the tray tells the
// user about (NoticeText).
class OutboxSender {
 public:
  struct Round {
    enum class End {
      kDone,         // every waiting report was tried
      kUnreachable,  // the centre could not be reached: the rest wait
      kCertificate,  // the centre's certificate was refused: tries stop
      kUpgrade,      // the version host asks for an upgrade: tries stop
      kUserSending,  // the user's own send began: the rest wait for the next round
    };
    End end = End::kDone;
    int delivered = 0;  // entries the centre received whole
    int refused = 0;    // entries that left with some report refused
    int waiting = 0;    // entries still waiting after the round
  };

  // recorder (may be null): the history the reports are recorded in.
  OutboxSender(Outbox& outbox, RetrySchedule& schedule, ReportRecorder* recorder);

  // One round on the calling thread: the version page (a different version
  // stops the tries), then each waiting entry, oldest first, until one could
  // not reach the centre. Never starts an entry while userSending() says
  // the user's own send runs.
  Round RunRound(const ServerConfig& servers, const std::function<bool()>& userSending);

  // The id of the entry being sent now; empty when none.
  std::string Current() const;

  // What the tray tells the user after a round (code page 949); empty when
  // nothing worth saying happened.
  static std::string NoticeText(const Round& round);
  // The tip of the tray icon: "Veradex", and the number waiting when any.
  static std::string TipText(int waiting);

 private:
  void SetCurrent(const std::string& id);

  Outbox& outbox_;
  RetrySchedule& schedule_;
  ReportRecorder* recorder_;
  mutable std::mutex mutex_;
  std::string current_;
};

}  // namespace veradex
