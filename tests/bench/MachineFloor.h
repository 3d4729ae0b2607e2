#pragma once

#include <cstddef>

namespace veradex::test {

// What the same work costs at the least on this machine: one TLS handshake
// over loopback (certificate verified against the test authority), and
// AES-128-GCM encryption and decryption of the bytes in 16 KiB records.
// Medians of a few tries, in milliseconds.
struct MachineFloor {
  double handshakeMs = 0;
  double encryptMs = 0;
  double decryptMs = 0;

  // For `connections` handshakes and `bytes` bytes sent.
  double TotalMs(int connections) const { return handshakeMs * connections + encryptMs + decryptMs; }

  static MachineFloor Measure(std::size_t bytes, int tries = 7);
};

}  // namespace veradex::test
