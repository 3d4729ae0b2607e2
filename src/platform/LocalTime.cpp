#include "platform/LocalTime.h"

namespace veradex {

std::tm LocalTime::From(std::time_t moment) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &moment);
#else
  localtime_r(&moment, &local);
#endif
  return local;
}

}  // namespace veradex
