// The system's authorities where OpenSSL finds them itself (Linux and other
// POSIX systems); TlsClientContextWin.cpp is the Windows side.
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "net/TlsClientContext.h"

namespace veradex {

namespace {

// True when the folder holds an authority under its hash name ("1a2b3c4d.0").
bool HasHashedAuthorities(const std::string& folder) {
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (name.size() < 10 || name[8] != '.') continue;
    bool hex = true;
    for (int i = 0; i < 8 && hex; ++i) hex = std::isxdigit(static_cast<unsigned char>(name[i])) != 0;
    if (hex && name.find_first_not_of("0123456789", 9) == std::string::npos) return true;
  }
  return false;
}

}  // namespace

void TlsClientContext::TrustSystemAuthorities(SSL_CTX* context, const std::string& folder) {
  const bool userChose = std::getenv(X509_get_default_cert_file_env()) != nullptr ||
                         std::getenv(X509_get_default_cert_dir_env()) != nullptr;
  if (!userChose && HasHashedAuthorities(folder) && SSL_CTX_load_verify_dir(context, folder.c_str()) == 1) return;
  SSL_CTX_set_default_verify_paths(context);
}

}  // namespace veradex
