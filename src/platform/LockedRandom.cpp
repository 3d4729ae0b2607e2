#include "platform/LockedRandom.h"

#include <cstdint>
#include <mutex>

namespace veradex {

namespace {

std::mutex& RandomLock() {
  static std::mutex lock;
  return lock;
}

// A linear congruential generator whose upper bits give the draw; its own
// state, so no other user of the C library's generator shifts the sequence.
std::uint32_t state = 1;

}  // namespace

int LockedRandom::Next() {
  std::lock_guard<std::mutex> guard(RandomLock());
  state = state * 214013u + 2531011u;
  return static_cast<int>((state >> 16) & static_cast<std::uint32_t>(kMax));
}

void LockedRandom::Seed(unsigned seed) {
  std::lock_guard<std::mutex> guard(RandomLock());
  state = seed;
}

}  // namespace veradex
