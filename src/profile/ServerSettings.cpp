#include "profile/ServerSettings.h"

#include <chrono>
#include <cstdlib>
#include <mutex>

namespace veradex {

namespace {

std::mutex configMutex;
ServerConfig* currentConfig = nullptr;

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
  if (currentConfig == nullptr) currentConfig = new ServerConfig(Load(ProfileStore::Current()));
  return *currentConfig;
}

void ServerSettings::Reload() {
  std::lock_guard<std::mutex> lock(configMutex);
  ServerConfig* fresh = new ServerConfig(Load(ProfileStore::Current()));
  // The old object is kept alive: a worker may still hold a reference to it.
  currentConfig = fresh;
}

}  // namespace veradex
