#pragma once

#include <ctime>

namespace veradex {

// Broken-down local time, safe to call from any thread.
class LocalTime {
 public:
  static std::tm From(std::time_t moment);
  static std::tm Now() { return From(std::time(nullptr)); }
};

}  // namespace veradex
