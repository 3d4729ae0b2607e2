#include "net/CertificateCheck.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "net/ServerConfig.h"

namespace veradex {

namespace {

struct StoreFree {
  void operator()(X509_STORE* store) const { X509_STORE_free(store); }
};
struct ContextFree {
  void operator()(X509_STORE_CTX* context) const { X509_STORE_CTX_free(context); }
};
struct ChainFree {
  void operator()(STACK_OF(X509) * chain) const { sk_X509_pop_free(chain, X509_free); }
};
struct CertificateFree {
  void operator()(X509* certificate) const { X509_free(certificate); }
};

X509* ReadPem(const std::string& pem) {
  BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
  if (bio == nullptr) return nullptr;
  X509* certificate = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr);
  BIO_free(bio);
  return certificate;
}

bool IsIpLiteral(const std::string& host) {
  ASN1_OCTET_STRING* address = a2i_IPADDRESS(host.c_str());  // IPv4 or IPv6, else null
  ASN1_OCTET_STRING_free(address);
  return address != nullptr;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// "https://[user@]host[:port][/...]": host and port; false for anything else.
bool ParseHttpsAddress(const std::string& url, std::string* host, int* port) {
  static const std::string kScheme = "https://";
  if (url.size() <= kScheme.size() || Lower(url.substr(0, kScheme.size())) != kScheme) return false;
  const std::size_t start = kScheme.size();
  const std::size_t end = url.find_first_of("/?#", start);
  std::string authority = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
  const std::size_t at = authority.rfind('@');
  if (at != std::string::npos) authority.erase(0, at + 1);
  std::string portText;
  if (!authority.empty() && authority.front() == '[') {
    const std::size_t close = authority.find(']');
    if (close == std::string::npos) return false;
    *host = authority.substr(1, close - 1);
    if (close + 1 < authority.size()) {
      if (authority[close + 1] != ':') return false;
      portText = authority.substr(close + 2);
    }
  } else {
    const std::size_t colon = authority.find(':');
    *host = authority.substr(0, colon);
    if (colon != std::string::npos) portText = authority.substr(colon + 1);
  }
  if (host->empty()) return false;
  *port = 443;
  if (!portText.empty()) {
    if (portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string::npos) return false;
    *port = std::stoi(portText);
    if (*port <= 0 || *port > 65535) return false;
  }
  return true;
}

}  // namespace

bool CertificateCheck::ExtraAuthorityApplies(const std::string& url, const ServerConfig& config, std::string* host) {
  if (config.caFile.empty()) return false;
  std::string urlHost;
  int port = 0;
  if (!ParseHttpsAddress(url, &urlHost, &port)) return false;
  for (const ServerAddress* server : {&config.report, &config.version}) {
    std::string serverHost = server->host;
    if (serverHost.size() > 2 && serverHost.front() == '[' && serverHost.back() == ']')
      serverHost = serverHost.substr(1, serverHost.size() - 2);
    if (!serverHost.empty() && Lower(serverHost) == Lower(urlHost) && server->port == port) {
      if (host != nullptr) *host = urlHost;
      return true;
    }
  }
  return false;
}

bool CertificateCheck::Verify(const std::vector<std::string>& chainPem, const std::string& host,
                              const std::string& caFile) {
  if (chainPem.empty() || host.empty() || caFile.empty()) return false;
  ERR_clear_error();

  std::unique_ptr<X509, CertificateFree> leaf(ReadPem(chainPem.front()));
  if (!leaf) return false;
  std::unique_ptr<STACK_OF(X509), ChainFree> intermediates(sk_X509_new_null());
  if (!intermediates) return false;
  for (std::size_t i = 1; i < chainPem.size(); ++i) {
    X509* certificate = ReadPem(chainPem[i]);
    if (certificate == nullptr) return false;
    if (sk_X509_push(intermediates.get(), certificate) <= 0) {
      X509_free(certificate);
      return false;
    }
  }

  // Only the configured authority is a trust anchor.
  std::unique_ptr<X509_STORE, StoreFree> store(X509_STORE_new());
  if (!store || X509_STORE_load_file(store.get(), caFile.c_str()) != 1) {
    ERR_clear_error();
    return false;
  }

  std::unique_ptr<X509_STORE_CTX, ContextFree> context(X509_STORE_CTX_new());
  if (!context || X509_STORE_CTX_init(context.get(), store.get(), leaf.get(), intermediates.get()) != 1) return false;
  X509_VERIFY_PARAM* param = X509_STORE_CTX_get0_param(context.get());
  X509_VERIFY_PARAM_set_purpose(param, X509_PURPOSE_SSL_SERVER);
  X509_VERIFY_PARAM_set_depth(param, 8);
  if (IsIpLiteral(host)) {
    if (X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str()) != 1) return false;
  } else {
    X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    if (X509_VERIFY_PARAM_set1_host(param, host.c_str(), host.size()) != 1) return false;
  }
  const bool verified = X509_verify_cert(context.get()) == 1;
  ERR_clear_error();
  return verified;
}

}  // namespace veradex
