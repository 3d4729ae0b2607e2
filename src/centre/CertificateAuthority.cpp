#include "centre/CertificateAuthority.h"

#include <openssl/bn.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <fstream>
#include <stdexcept>

namespace veradex::centre {

namespace {

constexpr long kDay = 24L * 60 * 60;

EVP_PKEY* NewKey() {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  if (key == nullptr) throw std::runtime_error("certificate authority: key generation failed");
  return key;
}

void AddExtension(X509* certificate, X509V3_CTX* context, int nid, const std::string& value) {
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, context, nid, value.c_str());
  if (extension == nullptr) throw std::runtime_error("certificate authority: bad extension " + value);
  X509_add_ext(certificate, extension, -1);
  X509_EXTENSION_free(extension);
}

// A certificate for subjectKey, signed by issuerKey as issuer (itself when
// issuer is null).
X509* MakeCertificate(EVP_PKEY* subjectKey, const std::string& commonName, X509* issuer, EVP_PKEY* issuerKey,
                      bool authority, const std::string& subjectAltNames, long notBefore, long notAfter) {
  X509* certificate = X509_new();
  X509_set_version(certificate, 2);
  BIGNUM* serial = BN_new();
  BN_rand(serial, 63, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY);
  BN_to_ASN1_INTEGER(serial, X509_get_serialNumber(certificate));
  BN_free(serial);
  X509_gmtime_adj(X509_getm_notBefore(certificate), notBefore);
  X509_gmtime_adj(X509_getm_notAfter(certificate), notAfter);
  X509_set_pubkey(certificate, subjectKey);
  X509_NAME* name = X509_get_subject_name(certificate);
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Veradex"), -1, -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName.c_str()), -1,
                             -1, 0);
  X509_set_issuer_name(certificate, issuer != nullptr ? X509_get_subject_name(issuer) : name);

  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer != nullptr ? issuer : certificate, certificate, nullptr, nullptr, 0);
  AddExtension(certificate, &context, NID_subject_key_identifier, "hash");
  AddExtension(certificate, &context, NID_authority_key_identifier, "keyid:always");
  if (authority) {
    AddExtension(certificate, &context, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(certificate, &context, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    AddExtension(certificate, &context, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(certificate, &context, NID_key_usage, "critical,digitalSignature,keyEncipherment");
    AddExtension(certificate, &context, NID_ext_key_usage, "serverAuth");
    if (!subjectAltNames.empty()) AddExtension(certificate, &context, NID_subject_alt_name, subjectAltNames);
  }
  if (X509_sign(certificate, issuerKey, EVP_sha256()) <= 0) {
    X509_free(certificate);
    throw std::runtime_error("certificate authority: signing failed");
  }
  return certificate;
}

std::string CertificateToPem(X509* certificate) {
  BIO* bio = BIO_new(BIO_s_mem());
  PEM_write_bio_X509(bio, certificate);
  char* data = nullptr;
  const long length = BIO_get_mem_data(bio, &data);
  std::string pem(data, static_cast<std::size_t>(length));
  BIO_free(bio);
  return pem;
}

std::string KeyToPem(EVP_PKEY* key) {
  BIO* bio = BIO_new(BIO_s_mem());
  PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr);
  char* data = nullptr;
  const long length = BIO_get_mem_data(bio, &data);
  std::string pem(data, static_cast<std::size_t>(length));
  BIO_free(bio);
  return pem;
}

std::string AltNames(const std::vector<std::string>& dnsNames, const std::vector<std::string>& ipAddresses) {
  std::string names;
  for (const auto& dns : dnsNames) names += (names.empty() ? "" : ",") + std::string("DNS:") + dns;
  for (const auto& ip : ipAddresses) names += (names.empty() ? "" : ",") + std::string("IP:") + ip;
  return names;
}

}  // namespace

CertificateAuthority::CertificateAuthority(const std::string& commonName, long validDays) {
  key_ = NewKey();
  certificate_ = MakeCertificate(key_, commonName, nullptr, key_, true, "", -kDay, validDays * kDay);
  certificatePem_ = CertificateToPem(certificate_);
}

CertificateAuthority::CertificateAuthority(EVP_PKEY* key, X509* certificate)
    : key_(key), certificate_(certificate), certificatePem_(CertificateToPem(certificate)) {}

std::unique_ptr<CertificateAuthority> CertificateAuthority::FromPem(const CertifiedKey& kept) {
  BIO* certificateBio = BIO_new_mem_buf(kept.certificatePem.data(), static_cast<int>(kept.certificatePem.size()));
  X509* certificate = PEM_read_bio_X509(certificateBio, nullptr, nullptr, nullptr);
  BIO_free(certificateBio);
  BIO* keyBio = BIO_new_mem_buf(kept.privateKeyPem.data(), static_cast<int>(kept.privateKeyPem.size()));
  EVP_PKEY* key = PEM_read_bio_PrivateKey(keyBio, nullptr, nullptr, nullptr);
  BIO_free(keyBio);
  if (certificate == nullptr || key == nullptr || X509_check_private_key(certificate, key) != 1 ||
      X509_check_ca(certificate) == 0) {
    X509_free(certificate);
    EVP_PKEY_free(key);
    return nullptr;
  }
  return std::unique_ptr<CertificateAuthority>(new CertificateAuthority(key, certificate));
}

CertifiedKey CertificateAuthority::ToPem() const { return {certificatePem_, KeyToPem(key_)}; }

CertificateAuthority::~CertificateAuthority() {
  X509_free(certificate_);
  EVP_PKEY_free(key_);
}

bool CertificateAuthority::WriteCertificate(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << certificatePem_;
  return static_cast<bool>(out);
}

CertifiedKey CertificateAuthority::IssueFor(const std::vector<std::string>& dnsNames,
                                            const std::vector<std::string>& ipAddresses, long notBefore,
                                            long notAfter) const {
  EVP_PKEY* key = NewKey();
  const std::string commonName = dnsNames.empty() ? std::string("server") : dnsNames.front();
  X509* certificate =
      MakeCertificate(key, commonName, certificate_, key_, false, AltNames(dnsNames, ipAddresses), notBefore, notAfter);
  CertifiedKey result{CertificateToPem(certificate), KeyToPem(key)};
  X509_free(certificate);
  EVP_PKEY_free(key);
  return result;
}

CertifiedKey CertificateAuthority::Issue(LeafKind kind) const {
  switch (kind) {
    case LeafKind::kValid:
      return IssueFor({"localhost"}, {"127.0.0.1"}, -kDay, 30 * kDay);
    case LeafKind::kWrongHost:
      return IssueFor({"elsewhere.example"}, {}, -kDay, 30 * kDay);
    case LeafKind::kExpired:
      return IssueFor({"localhost"}, {"127.0.0.1"}, -3 * kDay, -kDay);
    case LeafKind::kUnknownAuthority: {
      const CertificateAuthority stranger("Unknown Test Authority");
      return stranger.IssueFor({"localhost"}, {"127.0.0.1"}, -kDay, 30 * kDay);
    }
    case LeafKind::kSelfSigned: {
      EVP_PKEY* key = NewKey();
      X509* certificate = MakeCertificate(key, "localhost", nullptr, key, false, AltNames({"localhost"}, {"127.0.0.1"}),
                                          -kDay, 30 * kDay);
      CertifiedKey result{CertificateToPem(certificate), KeyToPem(key)};
      X509_free(certificate);
      EVP_PKEY_free(key);
      return result;
    }
  }
  return {};
}

}  // namespace veradex::centre
