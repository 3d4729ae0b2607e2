#include "net/ServerConfig.h"

#include <cstdlib>
#include <mutex>

namespace veradex {

namespace {

std::mutex configMutex;
ServerConfig* currentConfig = nullptr;

}  // namespace

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

ServerConfig ServerConfig::Load(const ProfileStore& store) {
  ServerConfig config = Defaults();
  const auto read = [&store](const char* entry) { return store.GetProfileString(profile::kServers, entry); };
  if (const std::string v = read("report"); !v.empty()) config.report = ServerAddress::Parse(v);
  if (const std::string v = read("version"); !v.empty()) config.version = ServerAddress::Parse(v);
  if (const std::string v = read("info"); !v.empty()) config.info = ServerAddress::Parse(v, 80);
  if (const std::string v = read("download"); !v.empty()) config.download = ServerAddress::Parse(v, 80);
  if (const std::string v = read("support_email"); !v.empty()) config.supportEmail = v;
  config.caFile = read("ca_file");
  return config;
}

std::string ServerConfig::ReportUrl(const std::string& path) const { return "https://" + report.HostPort() + path; }

std::string ServerConfig::InfoUrl(const std::string& path) const { return "http://" + info.HostPort() + path; }

std::string ServerConfig::DownloadUrl(const std::string& path) const { return "http://" + download.HostPort() + path; }

const ServerConfig& ServerConfig::Current() {
  std::lock_guard<std::mutex> lock(configMutex);
  if (currentConfig == nullptr) currentConfig = new ServerConfig(Load(ProfileStore::Current()));
  return *currentConfig;
}

void ServerConfig::Reload() {
  std::lock_guard<std::mutex> lock(configMutex);
  ServerConfig* fresh = new ServerConfig(Load(ProfileStore::Current()));
  // The old object is kept alive: a worker may still hold a reference to it.
  currentConfig = fresh;
}

}  // namespace veradex
