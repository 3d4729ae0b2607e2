#include "net/TlsClientContext.h"

#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <filesystem>
#include <future>
#include <mutex>
#include <system_error>

#include "platform/NativePath.h"

namespace veradex {

namespace {

// The extra authority as it stands on disk: a changed file makes a new key.
std::string TrustKey(const std::string& caFile) {
  std::string key = caFile;
  if (caFile.empty()) return key;
  std::error_code timeError, sizeError;
  const std::filesystem::path file = NativePath::ToFs(caFile);
  const auto modified = std::filesystem::last_write_time(file, timeError);
  const auto size = std::filesystem::file_size(file, sizeError);
  if (!timeError && !sizeError) {
    key += "|" + std::to_string(static_cast<long long>(modified.time_since_epoch().count())) + "|" +
           std::to_string(static_cast<unsigned long long>(size));
  }
  return key;
}

// A context with everything but the extra authority.
std::shared_ptr<SSL_CTX> NewContext() {
  std::shared_ptr<SSL_CTX> context(SSL_CTX_new(TLS_client_method()), SSL_CTX_free);
  if (!context) return nullptr;
  SSL_CTX_set_min_proto_version(context.get(), TLS1_2_VERSION);
  // AES-128-GCM first: as safe, and the cheapest bulk cipher where the
  // processor has AES instructions (the server may still choose).
  SSL_CTX_set_ciphersuites(context.get(), "TLS_AES_128_GCM_SHA256:TLS_AES_256_GCM_SHA384:TLS_CHACHA20_POLY1305_SHA256");
  SSL_CTX_set_verify(context.get(), SSL_VERIFY_PEER, nullptr);
  TlsClientContext::TrustSystemAuthorities(context.get(), X509_get_default_cert_dir());
  return context;
}

std::mutex preparedMutex;
// Never destroyed: the TLS library's own clean-up at exit may come first.
auto* prepared = new std::future<std::shared_ptr<SSL_CTX>>();

}  // namespace

void TlsClientContext::PrepareInBackground() {
  std::lock_guard<std::mutex> lock(preparedMutex);
  if (!prepared->valid()) *prepared = std::async(std::launch::async, NewContext);
}

void TlsClientContext::AwaitPreparation() {
  std::lock_guard<std::mutex> lock(preparedMutex);
  if (prepared->valid()) prepared->wait();
}

std::shared_ptr<SSL_CTX> TlsClientContext::For(const std::string& caFile) {
  // Never destroyed: the TLS library's own clean-up at exit may come first.
  static auto* current = new std::shared_ptr<SSL_CTX>();
  static auto* currentKey = new std::string();
  static std::mutex mutex;
  static std::once_flag initialised;
  std::call_once(initialised, [] { OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS, nullptr); });

  const std::string key = TrustKey(caFile);
  std::lock_guard<std::mutex> lock(mutex);
  if (*current && key == *currentKey) return *current;

  // The first context may have been prepared already; later ones are new.
  std::shared_ptr<SSL_CTX> context;
  {
    std::lock_guard<std::mutex> preparedLock(preparedMutex);
    if (prepared->valid()) context = prepared->get();
  }
  if (!context) context = NewContext();
  if (!context) return nullptr;
  // A file that cannot be read adds nothing; the certificate check decides.
  if (!caFile.empty()) SSL_CTX_load_verify_locations(context.get(), caFile.c_str(), nullptr);
  *current = context;
  *currentKey = key;
  return context;
}

}  // namespace veradex
