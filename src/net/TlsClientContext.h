#pragma once

#include <memory>
#include <string>

typedef struct ssl_ctx_st SSL_CTX;

namespace veradex {

// The process's TLS client context: peers are verified against the system's
// trusted authorities plus one extra authority (a PEM file, may be empty),
// nothing older than TLS 1.2 is offered. The context is made once and
// shared by every connection and thread; it is made anew only when the extra
// authority changes (another file, or the file changed on disk). Sessions
// keep the context they were made from alive.
class TlsClientContext {
 public:
  // The context for caFile; null when the TLS library cannot make one.
  static std::shared_ptr<SSL_CTX> For(const std::string& caFile);
  // Starts making the first context (the system's authorities read) on a
  // thread of its own while the toolkit starts, so that the version check's
  // For() finds most of it done.
  static void PrepareInBackground();
  // Waits until a context being prepared is made: a process must not end
  // while that thread still uses the TLS library, which the end takes down.
  static void AwaitPreparation();

  // Makes `context` trust the system's authorities. Where the system keeps
  // them in a hashed folder (a file per authority named by its subject's
  // hash, as `folder`, the library's default, is on Debian) the folder is
  // searched when a chain needs an issuer; otherwise the library's default
  // places are read whole, which parses every authority (some 40 ms).
  // Variables the user set for the library (SSL_CERT_FILE, SSL_CERT_DIR)
  // are honoured as the library honours them. On Windows the system's
  // "ROOT" store is loaded (WindowsRootStore) and `folder` is not used.
  static void TrustSystemAuthorities(SSL_CTX* context, const std::string& folder);
};

}  // namespace veradex
