#pragma once

#include <optional>
#include <string>
#include <utility>

namespace veradex {

// Where an exchange with a server stopped. The first four are the ways a
// connection is not had; the rest happen on a connection that was made.
// What the user is told for each is the caller's choice.
enum class NetError {
  kResolve,      // the host name gave no IPv4 address
  kConnect,      // no connection: refused, unreachable, or a failed TLS handshake
  kTimeout,      // the server did not take the connection (TCP or TLS) within the time-out
  kCertificate,  // the server's certificate was refused
  kSend,         // the request could not be written in full
  kReceive,      // no usable answer came: none, cut off, or not within the time-out
  kHttpStatus,   // the answer's status was not the one wanted
  kRefused,      // the server answered that it did not take the request
};

inline const char* NetErrorName(NetError error) {
  switch (error) {
    case NetError::kResolve:
      return "resolve";
    case NetError::kConnect:
      return "connect";
    case NetError::kTimeout:
      return "timeout";
    case NetError::kCertificate:
      return "certificate";
    case NetError::kSend:
      return "send";
    case NetError::kReceive:
      return "receive";
    case NetError::kHttpStatus:
      return "http status";
    case NetError::kRefused:
      return "refused";
  }
  return "?";
}

// A failure and, for the log, what exactly happened.
struct NetFailure {
  NetError error;
  std::string detail;
};

// What every NetResult has: success, or the failure.
class NetOutcome {
 public:
  NetOutcome() = default;
  NetOutcome(NetFailure failure) : failure_(std::move(failure)) {}  // NOLINT: a failure converts implicitly

  bool Ok() const { return !failure_.has_value(); }
  explicit operator bool() const { return Ok(); }
  // Only when !Ok().
  NetError Error() const { return failure_->error; }
  const std::string& Detail() const { return failure_->detail; }
  // Only when !Ok(): the failure, to pass on as another result's.
  const NetFailure& Failure() const { return *failure_; }
  // "certificate: <detail>", for the log; empty when Ok().
  std::string Describe() const {
    if (Ok()) return std::string();
    return failure_->detail.empty() ? NetErrorName(failure_->error)
                                    : std::string(NetErrorName(failure_->error)) + ": " + failure_->detail;
  }

 private:
  std::optional<NetFailure> failure_;
};

// A value, or the failure that kept it from being had.
template <typename T>
class NetResult : public NetOutcome {
 public:
  NetResult(T value) : value_(std::move(value)) {}                   // NOLINT: a value converts implicitly
  NetResult(NetFailure failure) : NetOutcome(std::move(failure)) {}  // NOLINT

  // Only when Ok().
  const T& Value() const { return value_; }

 private:
  T value_{};
};

// Success or failure of an operation without a value.
template <>
class NetResult<void> : public NetOutcome {
 public:
  NetResult() = default;
  NetResult(NetFailure failure) : NetOutcome(std::move(failure)) {}  // NOLINT
};

}  // namespace veradex
