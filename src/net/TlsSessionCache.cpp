#include "net/TlsSessionCache.h"

#include <openssl/ssl.h>

namespace veradex {

TlsSessionCache::~TlsSessionCache() {
  for (auto& entry : sessions_) SSL_SESSION_free(entry.second);
}

SSL_SESSION* TlsSessionCache::Find(const std::string& server) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = sessions_.find(server);
  if (found == sessions_.end()) return nullptr;
  SSL_SESSION_up_ref(found->second);
  return found->second;
}

void TlsSessionCache::Keep(const std::string& server, SSL_SESSION* session) {
  if (session == nullptr) return;
  if (!SSL_SESSION_is_resumable(session)) {
    SSL_SESSION_free(session);
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  SSL_SESSION*& kept = sessions_[server];
  if (kept != nullptr) SSL_SESSION_free(kept);
  kept = session;
}

}  // namespace veradex
