#include "net/ServerConfig.h"

#include <cstdlib>

namespace veradex {

ServerAddress ServerAddress::Parse(const std::string& text, int defaultPort) {
  ServerAddress address;
  address.port = defaultPort;
  const auto colon = text.rfind(':');
  if (colon != std::string::npos && colon + 1 < text.size() &&
      text.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
    const long port = std::strtol(text.c_str() + colon + 1, nullptr, 10);
    if (port > 0 && port < 65536) {
      address.host = text.substr(0, colon);
      address.port = static_cast<int>(port);
      address.explicitPort = true;
      return address;
    }
  }
  address.host = text;
  return address;
}

std::string ServerAddress::HostPort() const { return explicitPort ? host + ":" + std::to_string(port) : host; }

ServerConfig ServerConfig::Defaults() {
  ServerConfig config;
  config.report = ServerAddress::Parse(VERADEX_REPORT_HOST);
  config.version = ServerAddress::Parse(VERADEX_VERSION_HOST);
  config.info = ServerAddress::Parse(VERADEX_INFO_HOST, 80);
  config.download = ServerAddress::Parse(VERADEX_DOWNLOAD_HOST, 80);
  config.supportEmail = VERADEX_SUPPORT_EMAIL;
  return config;
}

std::string ServerConfig::ReportUrl(const std::string& path) const { return "https://" + report.HostPort() + path; }

std::string ServerConfig::InfoUrl(const std::string& path) const { return "http://" + info.HostPort() + path; }

std::string ServerConfig::DownloadUrl(const std::string& path) const { return "http://" + download.HostPort() + path; }

}  // namespace veradex
