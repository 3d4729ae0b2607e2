// The system's authorities on Windows: OpenSSL does not read the system's
// certificate stores, and its compiled-in folder is the build machine's.
// TlsClientContextPosix.cpp is the POSIX side.
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cstdlib>

#include "net/TlsClientContext.h"
#include "net/WindowsRootStore.h"

namespace veradex {

void TlsClientContext::TrustSystemAuthorities(SSL_CTX* context, const std::string&) {
  // Variables the user set for the library are honoured as on other systems.
  if (std::getenv(X509_get_default_cert_file_env()) != nullptr ||
      std::getenv(X509_get_default_cert_dir_env()) != nullptr) {
    SSL_CTX_set_default_verify_paths(context);
  }
  WindowsRootStore::AddTo(SSL_CTX_get_cert_store(context));
}

}  // namespace veradex
