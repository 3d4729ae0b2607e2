#pragma once

#include <memory>
#include <string>
#include <vector>

typedef struct evp_pkey_st EVP_PKEY;
typedef struct x509_st X509;

namespace veradex::centre {

// A certificate and its private key, both PEM.
struct CertifiedKey {
  std::string certificatePem;
  std::string privateKeyPem;
};

// A certificate authority of our own (P-256 keys, SHA-256 signatures). It
// issues the server certificates of the report centre, and for the tests the
// faulty ones a client must refuse. The sandbox centre keeps its authority
// between runs (ToPem / FromPem); the tests make a fresh one each time.
class CertificateAuthority {
 public:
  enum class LeafKind {
    kValid,             // for "localhost" and 127.0.0.1, valid now, signed by this authority
    kSelfSigned,        // for "localhost", signed by its own key
    kWrongHost,         // signed by this authority, but for "elsewhere.example" only
    kExpired,           // for "localhost", signed by this authority, expired yesterday
    kUnknownAuthority,  // for "localhost", signed by an authority nobody trusts
  };

  // A new authority, valid from yesterday for validDays days.
  explicit CertificateAuthority(const std::string& commonName = "Veradex Test Authority", long validDays = 30);
  ~CertificateAuthority();
  CertificateAuthority(const CertificateAuthority&) = delete;
  CertificateAuthority& operator=(const CertificateAuthority&) = delete;

  // An authority kept earlier: its certificate and private key (PEM). Null
  // when they cannot be read or do not belong together.
  static std::unique_ptr<CertificateAuthority> FromPem(const CertifiedKey& kept);
  // The certificate and private key, to keep.
  CertifiedKey ToPem() const;

  const std::string& CertificatePem() const { return certificatePem_; }
  // Writes the authority's certificate (PEM) to path; false on failure.
  bool WriteCertificate(const std::string& path) const;

  CertifiedKey Issue(LeafKind kind) const;
  // A server certificate for the given names, valid from now + notBefore to
  // now + notAfter seconds.
  CertifiedKey IssueFor(const std::vector<std::string>& dnsNames, const std::vector<std::string>& ipAddresses,
                        long notBefore, long notAfter) const;

 private:
  CertificateAuthority(EVP_PKEY* key, X509* certificate);

  EVP_PKEY* key_ = nullptr;
  X509* certificate_ = nullptr;
  std::string certificatePem_;
};

}  // namespace veradex::centre
