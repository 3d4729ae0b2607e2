#pragma once

#include <memory>
#include <string>

typedef struct ssl_ctx_st SSL_CTX;

namespace veradex {

// The process's TLS client context: peers are verified against the system's
// trusted authorities plus one extra authority (a PEM file, may be empty),
// nothing older than TLS 1.2 is offered. Reading the system's authorities
// costs tens of milliseconds, so the context is made once and shared by every
// connection and thread; it is made anew only when the extra authority
// changes (another file, or the file changed on disk). Sessions keep the
// context they were made from alive.
class TlsClientContext {
 public:
  // The context for caFile; null when the TLS library cannot make one.
  static std::shared_ptr<SSL_CTX> For(const std::string& caFile);
};

}  // namespace veradex
