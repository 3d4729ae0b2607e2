#include "report/RetrySchedule.h"

#include <algorithm>

namespace veradex {

RetrySchedule::RetrySchedule(Clock clock) : clock_(std::move(clock)), next_(Now()) {}

std::time_t RetrySchedule::Now() const { return clock_ ? clock_() : std::time(nullptr); }

bool RetrySchedule::IsDue() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !stopped_ && Now() >= next_;
}

bool RetrySchedule::IsStopped() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return stopped_;
}

std::time_t RetrySchedule::NextTry() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return stopped_ ? 0 : next_;
}

long RetrySchedule::SecondsLeft() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (stopped_) return -1;
  return static_cast<long>(std::max<std::time_t>(0, next_ - Now()));
}

void RetrySchedule::OnUnreachable() {
  std::lock_guard<std::mutex> lock(mutex_);
  next_ = Now() + delay_;
  delay_ = std::min<long>(delay_ * 2, kLongestDelaySeconds);
}

void RetrySchedule::OnProgress() {
  std::lock_guard<std::mutex> lock(mutex_);
  next_ = Now();
  delay_ = kFirstDelaySeconds;
}

void RetrySchedule::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  stopped_ = true;
}

void RetrySchedule::TryNow() {
  std::lock_guard<std::mutex> lock(mutex_);
  stopped_ = false;
  next_ = Now();
}

}  // namespace veradex
