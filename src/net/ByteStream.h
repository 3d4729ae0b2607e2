#pragma once

namespace veradex {

// An open two-way byte stream to a server: what an HTTP exchange writes its
// request to and reads its answer from. Used by one thread at a time.
class ByteStream {
 public:
  virtual ~ByteStream() = default;
  // Writes all `length` bytes (or takes them to be written, see Flush);
  // false when they could not all go out.
  virtual bool Send(const char* bytes, int length) = 0;
  // Sends whatever a stream that gathers its writes still holds; false when
  // it could not go out. A request is complete on the wire after it.
  virtual bool Flush() { return true; }
  // One read of at most `capacity` bytes: the count (> 0), or -1 when the
  // peer ended the stream, an error occurred or the wait ran out. The buffer
  // is not terminated.
  virtual int Receive(char* buffer, int capacity) = 0;
  // Ends the stream; nothing goes either way afterwards. Closing twice does
  // nothing.
  virtual void Close() = 0;
};

}  // namespace veradex
