#include "net/Deadline.h"

namespace veradex {

void Deadline::StartSending() {
  if (phase_ != Phase::kIdle) return;
  phase_ = Phase::kSending;
  sendingSince_ = Clock::now();
  recent_.clear();
}

void Deadline::Sent(long long bytes) {
  if (phase_ != Phase::kSending || bytes <= 0) return;
  recent_.emplace_back(Clock::now(), bytes);
  // Drop the oldest writes the newer ones already make up for.
  long long newer = 0;
  for (auto it = recent_.rbegin(); it != recent_.rend(); ++it) {
    newer += it->second;
    if (newer >= kMinProgressBytes) {
      recent_.erase(recent_.begin(), std::next(it).base());
      return;
    }
  }
}

void Deadline::StartAnswer() {
  if (phase_ == Phase::kAnswer) return;
  phase_ = Phase::kAnswer;
  answerBy_ = answerLimit_.count() > 0 ? Clock::now() + answerLimit_ : Clock::time_point::max();
}

Deadline::Clock::time_point Deadline::Limit() const {
  switch (phase_) {
    case Phase::kIdle:
      return Clock::time_point::max();
    case Phase::kAnswer:
      return answerBy_;
    case Phase::kSending:
      break;
  }
  if (sendWindow_.count() <= 0) return Clock::time_point::max();
  // The window that holds the last kMinProgressBytes began at the oldest
  // write kept; with fewer bytes written so far, when sending began.
  long long kept = 0;
  for (const auto& write : recent_) kept += write.second;
  const Clock::time_point since = kept >= kMinProgressBytes ? recent_.front().first : sendingSince_;
  return since + sendWindow_;
}

}  // namespace veradex
