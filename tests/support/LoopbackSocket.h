#pragma once

namespace veradex::test {

// Plain blocking loopback sockets for the tests that play a bare peer
// (LoopbackSocketPosix.cpp, LoopbackSocketWin.cpp). Sockets are ints.
class LoopbackSocket {
 public:
  // A loopback port nobody listens on: connecting is refused at once.
  static int ClosedPort();
  // A listener on a free loopback port (*port); -1 when none can be made.
  static int Listen(int* port);
  static int Accept(int listener);
  // Connected to the loopback port, or -1.
  static int Connect(int port);
  static long Receive(int socket, char* buffer, long capacity);
  // A read that waits longer ends in failure.
  static void SetReceiveTimeout(int socket, int seconds);
  static void Close(int socket);
};

}  // namespace veradex::test
