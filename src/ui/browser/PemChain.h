#pragma once

#include <gio/gio.h>

#include <string>
#include <vector>

namespace veradex {

// A certificate chain as the server sent it, as PEM texts: its certificate
// first, then the issuers (at most `limit` of them in all). Empty when one
// cannot be written out.
inline std::vector<std::string> PemChain(GTlsCertificate* certificate, std::size_t limit = 10) {
  std::vector<std::string> chain;
  for (GTlsCertificate* link = certificate; link != nullptr && chain.size() < limit;
       link = g_tls_certificate_get_issuer(link)) {
    gchar* pem = nullptr;
    g_object_get(link, "certificate-pem", &pem, nullptr);
    if (pem == nullptr) return {};
    chain.emplace_back(pem);
    g_free(pem);
  }
  return chain;
}

}  // namespace veradex
