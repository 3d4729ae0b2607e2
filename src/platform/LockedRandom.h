#pragma once

namespace veradex {

// The runtime's pseudo-random generator (std::rand), drawn and seeded under
// one process-wide lock shared by the submission worker and the mail capture.
class LockedRandom {
 public:
  static int Next();
  static void Seed(unsigned seed);
};

}  // namespace veradex
