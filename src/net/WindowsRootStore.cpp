#include "net/WindowsRootStore.h"

// clang-format off
#include <windows.h>
#include <wincrypt.h>
// clang-format on

#include <openssl/x509.h>

namespace veradex {

int WindowsRootStore::AddTo(X509_STORE* store) {
  HCERTSTORE system = ::CertOpenSystemStoreW(0, L"ROOT");
  if (system == nullptr) return 0;
  int added = 0;
  for (PCCERT_CONTEXT entry = ::CertEnumCertificatesInStore(system, nullptr); entry != nullptr;
       entry = ::CertEnumCertificatesInStore(system, entry)) {
    const unsigned char* der = entry->pbCertEncoded;
    X509* certificate = d2i_X509(nullptr, &der, static_cast<long>(entry->cbCertEncoded));
    if (certificate == nullptr) continue;
    // One already there (the same authority in both stores) is no failure.
    if (X509_STORE_add_cert(store, certificate) == 1) ++added;
    X509_free(certificate);
  }
  ::CertCloseStore(system, 0);
  return added;
}

}  // namespace veradex
