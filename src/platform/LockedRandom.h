#pragma once

namespace veradex {

// The program's pseudo-random generator, drawn and seeded under one
// process-wide lock shared by the submission worker and the mail capture.
// Draws lie in 0..kMax (15 bits), the range the upload names ("%2X", at most
// four hexadecimal digits) and the capture tag ("%4X", four digits) are made
// for; the C library's rand() would give up to 31 bits here.
class LockedRandom {
 public:
  static constexpr int kMax = 32767;

  static int Next();
  static void Seed(unsigned seed);
};

}  // namespace veradex
