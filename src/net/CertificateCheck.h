#pragma once

#include <string>
#include <vector>

namespace veradex {

class ServerConfig;

// Decides whether a server certificate chain that the embedded browser's own
// engine refused may still be trusted because the profile names one more
// certificate authority ("servers/ca_file"). The network client trusts that
// authority for the configured servers; the browser gets the same trust and
// nothing more.
class CertificateCheck {
 public:
  // chainPem: the server's certificate first, then whatever intermediates it
  // sent (each PEM). True only when the chain leads to an authority in
  // caFile (the system's authorities are not consulted: the engine has
  // already judged against those), every certificate is valid now, the
  // server certificate is meant for TLS servers, and it names host (a DNS
  // name, or an IPv4/IPv6 literal matched against its IP addresses).
  static bool Verify(const std::vector<std::string>& chainPem, const std::string& host, const std::string& caFile);

  // True when config names an extra authority and url is an https address
  // of the report or the version server (host compared ignoring case, the
  // port exactly, 443 when the address has none). host: the address's host
  // name (an IPv6 literal without its brackets).
  static bool ExtraAuthorityApplies(const std::string& url, const ServerConfig& config, std::string* host);
};

}  // namespace veradex
