#include "platform/LockedRandom.h"

#include <cstdlib>
#include <mutex>

namespace veradex {

namespace {
std::mutex& RandomLock() {
  static std::mutex lock;
  return lock;
}
}  // namespace

int LockedRandom::Next() {
  std::lock_guard<std::mutex> guard(RandomLock());
  return std::rand();
}

void LockedRandom::Seed(unsigned seed) {
  std::lock_guard<std::mutex> guard(RandomLock());
  std::srand(seed);
}

}  // namespace veradex
