#include "profile/ServerSettings.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

namespace veradex {

namespace {

std::mutex configMutex;
// Every configuration loaded, the current one last. Old ones are kept for
// the rest of the process: a worker may still hold a reference to one (so
// the list is never destroyed either, not even at exit).
std::vector<std::unique_ptr<ServerConfig>>& Loaded() {
  static auto* loaded = new std::vector<std::unique_ptr<ServerConfig>>();
  return *loaded;
}

}  // namespace

ServerConfig ServerSettings::Load(const ProfileStore& store) {
  ServerConfig config = ServerConfig::Defaults();
  const auto read = [&store](const char* entry) { return store.GetProfileString(profile::kServers, entry); };
  if (const std::string v = read("report"); !v.empty()) config.report = ServerAddress::Parse(v);
  if (const std::string v = read("version"); !v.empty()) config.version = ServerAddress::Parse(v);
  if (const std::string v = read("info"); !v.empty()) config.info = ServerAddress::Parse(v, 80);
  if (const std::string v = read("download"); !v.empty()) config.download = ServerAddress::Parse(v, 80);
  if (const std::string v = read("support_email"); !v.empty()) config.supportEmail = v;
  config.caFile = read("ca_file");
  // The exchanges' limits, in seconds (fractions allowed): a test's centre
  // that dribbles need not be waited for 20 seconds.
  const auto limit = [&read](const char* entry, std::chrono::milliseconds* value) {
    const std::string text = read(entry);
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (!text.empty() && end != nullptr && *end == '\0' && seconds >= 0 && seconds < 1e6)
      *value = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
  };
  limit("answer_limit", &config.answerLimit);
  limit("send_window", &config.sendWindow);
  return config;
}

const ServerConfig& ServerSettings::Current() {
  std::lock_guard<std::mutex> lock(configMutex);
  if (Loaded().empty()) Loaded().push_back(std::make_unique<ServerConfig>(Load(ProfileStore::Current())));
  return *Loaded().back();
}

void ServerSettings::Reload() {
  auto fresh = std::make_unique<ServerConfig>(Load(ProfileStore::Current()));
  std::lock_guard<std::mutex> lock(configMutex);
  Loaded().push_back(std::move(fresh));
}

}  // namespace veradex
