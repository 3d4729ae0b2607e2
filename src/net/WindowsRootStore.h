#pragma once

typedef struct x509_store_st X509_STORE;

namespace veradex {

// The authorities Windows trusts (the "ROOT" certificate stores of the user
// and of the machine, as CryptoAPI merges them), for OpenSSL's verification.
class WindowsRootStore {
 public:
  // Adds every certificate of the store that OpenSSL can read; the number added.
  static int AddTo(X509_STORE* store);
};

}  // namespace veradex
