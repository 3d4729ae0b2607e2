#pragma once

#include <chrono>
#include <string>

namespace veradex {

// One server: a host name and a port. A port written in the configuration
// ("host:port") is kept as explicit, so addresses shown in URLs carry it.
struct ServerAddress {
  std::string host;
  int port = 443;
  bool explicitPort = false;

  // Parses "host" or "host:port"; the port defaults to defaultPort.
  static ServerAddress Parse(const std::string& text, int defaultPort = 443);
  // "host", or "host:port" when the port was given explicitly.
  std::string HostPort() const;
};

// Where the program's servers are and how long to wait for them. The compiled
// defaults come from Defaults(); the profile may override them (ServerSettings).
class ServerConfig {
 public:
  ServerAddress report;
  ServerAddress version;
  ServerAddress info;
  ServerAddress download;
  std::string supportEmail;
  std::string caFile;
  // Limits of every exchange, in seconds: of the connect, and of each wait
  // for the server afterwards (TLS handshake, reads, writes). 0 = no limit.
  int connectTimeout = 10;
  int receiveTimeout = 10;
  // Limits a server that dribbles its bytes cannot stretch (Deadline): the
  // whole answer of an exchange, counted from the request's last byte; and
  // the span in which at least 1 KiB of the request must go out. 0 = none.
  std::chrono::milliseconds answerLimit{20000};
  std::chrono::milliseconds sendWindow{30000};

  static ServerConfig Defaults();

  // "https://<report>" + path: pages of the report host.
  std::string ReportUrl(const std::string& path) const;
  // "http://<info>" + path: pages of the information site.
  std::string InfoUrl(const std::string& path) const;
  // "http://<download>" + path.
  std::string DownloadUrl(const std::string& path) const;
};

}  // namespace veradex
