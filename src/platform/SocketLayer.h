#pragma once

namespace veradex {

// The system's socket layer, started once at start-up before any connection.
class SocketLayer {
 public:
  // Windows: starts Winsock 2.2 (once; later calls answer as the first did). Elsewhere: makes a peer that closes its
  // end mid-write end in a write error instead of killing the process (SIGPIPE ignored). Returns false when the layer
  // cannot be used.
  static bool Start();
};

}  // namespace veradex
