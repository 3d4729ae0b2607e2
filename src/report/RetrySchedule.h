#pragma once

#include <ctime>
#include <functional>
#include <mutex>

namespace veradex {

// When the outbox tries its waiting reports: at once when the program starts,
// then, while the centre cannot be reached, after 1, 2, 4, … minutes, never
// more than an hour apart. A report that goes through (or leaves) makes the
// next try due at once. A refused certificate or a forced upgrade stops the
// tries until the next start; the user's "지금 보내기" asks for one anyway.
// Safe to use from several threads.
class RetrySchedule {
 public:
  using Clock = std::function<std::time_t()>;
  static constexpr int kFirstDelaySeconds = 60;
  static constexpr int kLongestDelaySeconds = 3600;

  // clock: the time now (empty: the system's).
  explicit RetrySchedule(Clock clock = Clock());

  bool IsDue() const;
  bool IsStopped() const;
  // When the next try is due; 0 while the tries are stopped.
  std::time_t NextTry() const;
  // Seconds until the next try (0: due; -1: stopped).
  long SecondsLeft() const;

  // The centre could not be reached: the next try after the current delay,
  // which then doubles (up to the longest).
  void OnUnreachable();
  // A report went through or left: the next try at once, delays from the start.
  void OnProgress();
  // Certificate refused or upgrade forced.
  void Stop();
  // The user asked: a try at once, even when stopped.
  void TryNow();

 private:
  std::time_t Now() const;

  Clock clock_;
  mutable std::mutex mutex_;
  std::time_t next_;
  long delay_ = kFirstDelaySeconds;
  bool stopped_ = false;
};

}  // namespace veradex
