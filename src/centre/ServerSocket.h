#pragma once

namespace veradex::centre {

// The few socket calls of the report centre, on POSIX sockets or Winsock
// (ServerSocketPosix.cpp, ServerSocketWin.cpp; the build compiles the one
// that fits). A socket is an int: on Windows a loopback server's handles are
// small values, which an int holds.
class ServerSocket {
 public:
  static constexpr int kNone = -1;
  // Once per process before the first socket: Winsock's start, or SIGPIPE
  // ignored (a client that went away must not end the process).
  static void StartUp();
  // A listening socket on the loopback address (port 0: a free one); kNone
  // when it cannot be made. *boundPort is the port it got.
  static int Listen(int port, int* boundPort);
  static int Accept(int listener);
  static void Close(int socket);
  // Nothing more is sent (the peer reads the end); both: nothing either way.
  static void ShutdownWrite(int socket);
  static void ShutdownBoth(int socket);
  // Waits up to timeoutMs for bytes to read (or the peer's end): > 0 ready.
  static int WaitReadable(int socket, int timeoutMs);
  // Waits up to timeoutMs, without reading anything, for the peer to hang up.
  static bool WaitHangUp(int socket, int timeoutMs);
  // One write (never raising a signal) or read: the count, <= 0 when it failed or ended.
  static long Send(int socket, const void* bytes, long length);
  static long Receive(int socket, void* buffer, long capacity);
  static void SetNoDelay(int socket);
  static void SetReceiveBuffer(int socket, int bytes);
  // The segment size the listener's connections announce (0: the route's own),
  // where the system lets it be chosen.
  static void SetMaxSegment(int listener, int bytes);
  static void SetIoTimeout(int socket, int seconds);
  // Closing then resets the connection instead of ending it in order.
  static void SetResetOnClose(int socket);
};

}  // namespace veradex::centre
