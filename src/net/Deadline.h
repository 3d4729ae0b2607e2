#pragma once

#include <chrono>
#include <deque>
#include <utility>

namespace veradex {

// The limits of one exchange that a server dribbling its bytes cannot
// stretch, on top of the wait limit of each single read or write:
// - once the request is written, the answer must be read within the answer
//   limit (counted from the request's last byte to the end of what is read);
// - while the request goes out, at least kMinProgressBytes must go out in any
//   span of the send window.
// A limit of zero or less is no limit. The connection tells it what happens
// (StartSending, Sent, StartAnswer); the socket asks it how long a wait may
// last (Limit).
class Deadline {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr long long kMinProgressBytes = 1024;

  Deadline() = default;
  Deadline(std::chrono::milliseconds answerLimit, std::chrono::milliseconds sendWindow)
      : answerLimit_(answerLimit), sendWindow_(sendWindow) {}

  // The request starts going out (again: nothing changes).
  void StartSending();
  // bytes went out on the wire.
  void Sent(long long bytes);
  // The request's last byte is out: the answer limit runs from now.
  void StartAnswer();

  // The moment the wait in progress must end at the latest;
  // Clock::time_point::max() when nothing limits it.
  Clock::time_point Limit() const;

 private:
  enum class Phase { kIdle, kSending, kAnswer };

  std::chrono::milliseconds answerLimit_{0};
  std::chrono::milliseconds sendWindow_{0};
  Phase phase_ = Phase::kIdle;
  Clock::time_point sendingSince_{};
  Clock::time_point answerBy_ = Clock::time_point::max();
  // The latest writes, newest last: as many as make up kMinProgressBytes.
  std::deque<std::pair<Clock::time_point, long long>> recent_;
};

}  // namespace veradex
