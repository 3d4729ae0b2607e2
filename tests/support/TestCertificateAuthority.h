#pragma once

#include <string>
#include <vector>

typedef struct evp_pkey_st EVP_PKEY;
typedef struct x509_st X509;

namespace veradex::test {

// A certificate and its private key, both PEM.
struct CertifiedKey {
  std::string certificatePem;
  std::string privateKeyPem;
};

// A certificate authority made when the tests run (P-256 keys, SHA-256
// signatures). It issues server certificates for the test report centre and
// the faulty ones the client must refuse.
class TestCertificateAuthority {
 public:
  enum class LeafKind {
    kValid,             // for "localhost" and 127.0.0.1, valid now, signed by this authority
    kSelfSigned,        // for "localhost", signed by its own key
    kWrongHost,         // signed by this authority, but for "elsewhere.example" only
    kExpired,           // for "localhost", signed by this authority, expired yesterday
    kUnknownAuthority,  // for "localhost", signed by an authority nobody trusts
  };

  explicit TestCertificateAuthority(const std::string& commonName = "Veradex Test Authority");
  ~TestCertificateAuthority();
  TestCertificateAuthority(const TestCertificateAuthority&) = delete;
  TestCertificateAuthority& operator=(const TestCertificateAuthority&) = delete;

  const std::string& CertificatePem() const { return certificatePem_; }
  // Writes the authority's certificate (PEM) to path; false on failure.
  bool WriteCertificate(const std::string& path) const;

  CertifiedKey Issue(LeafKind kind) const;
  // A server certificate for the given names, valid from now + notBefore to
  // now + notAfter seconds.
  CertifiedKey IssueFor(const std::vector<std::string>& dnsNames, const std::vector<std::string>& ipAddresses,
                        long notBefore, long notAfter) const;

 private:
  EVP_PKEY* key_ = nullptr;
  X509* certificate_ = nullptr;
  std::string certificatePem_;
};

}  // namespace veradex::test
