#pragma once

#include <map>
#include <mutex>
#include <string>

typedef struct ssl_session_st SSL_SESSION;

namespace veradex {

// The TLS sessions the connections of one run may resume: after one full
// handshake with a server, later connections to it offer the session the
// server handed out and skip the costly part of the handshake (the server
// decides; without a ticket or when it declines, a full handshake follows).
// A session is kept per server and trust (host, port and extra authority),
// so a resumed connection goes only where a verified one went before. Safe
// between threads; the sessions end with the object.
class TlsSessionCache {
 public:
  TlsSessionCache() = default;
  ~TlsSessionCache();
  TlsSessionCache(const TlsSessionCache&) = delete;
  TlsSessionCache& operator=(const TlsSessionCache&) = delete;

  // The session to offer for the server, with a reference the caller must
  // free (SSL_SESSION_free); null when there is none.
  SSL_SESSION* Find(const std::string& server) const;
  // Keeps a resumable session for the server in place of the one before;
  // takes over the caller's reference (a session that cannot be resumed is
  // freed at once).
  void Keep(const std::string& server, SSL_SESSION* session);

 private:
  mutable std::mutex mutex_;
  std::map<std::string, SSL_SESSION*> sessions_;
};

}  // namespace veradex
