#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "net/ByteStream.h"

namespace veradex {

// Reads a server's HTTP answer from a stream and knows, as it comes in, where
// its head ends and how long a body the head announces (Content-Length).
// Every exchange reads its answer through one: they differ only in when they
// have read enough, in the bound and in how much each read asks for.
class AnswerReader {
 public:
  // When a read has what it needs (besides the stream's end and the bound).
  enum class Until {
    kHeadEnd,        // the head has ended
    kAnswerEnd,      // the head has ended, and the body it announces (if any) is in
    kAnnouncedBody,  // the body the head announces is in; without Content-Length only the end helps
  };
  // Told the bytes of each read as they came; true when they decide and the reading stops.
  using Decider = std::function<bool(const char* bytes, std::size_t count)>;

  explicit AnswerReader(ByteStream& stream) : stream_(stream) {}

  // Receives until `until` holds, the stream gives nothing more, `bound` bytes
  // are in or `decided` says so. Each read asks for `piece` bytes, or with
  // piece 0 for the rest of the bound.
  void Read(Until until, std::size_t bound, int piece = 0, const Decider& decided = nullptr);

  // The bytes received, as they came.
  const std::string& Wire() const { return wire_; }
  // The answer as text: the bytes up to the first zero byte.
  std::string Text() const;
  bool HeadEnded() const { return headEnd_ != std::string::npos; }
  // The Content-Length of the head; -1 when it has none or has not ended.
  long long AnnouncedLength() const { return announced_; }
  // The head has ended and announces a body that is all in.
  bool Complete() const;

 private:
  bool Receive(int most);
  bool Over(Until until) const;

  ByteStream& stream_;
  std::string wire_;
  std::size_t headEnd_ = std::string::npos;  // where "\r\n\r\n" starts
  long long announced_ = -1;
};

}  // namespace veradex
