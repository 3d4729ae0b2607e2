#include "report/VersionCheck.h"

#include <cstdio>

#include "net/HttpExchange.h"
#include "report/ReportTexts.h"

namespace veradex {

std::string VersionCheck::PublishedVersion(const std::string& body) {
  const auto first = body.find_first_not_of(' ');
  const std::string trimmed =
      first == std::string::npos ? std::string() : body.substr(first, body.find_last_not_of(' ') - first + 1);
  std::string value;
  std::size_t position = 0;
  for (auto bar = trimmed.find('|', position); bar != std::string::npos; bar = trimmed.find('|', position)) {
    const std::string segment = trimmed.substr(position, bar - position);
    const auto colon = segment.find(':');
    value = colon == std::string::npos ? segment : segment.substr(colon + 1);
    position = bar + 1;
  }
  return value;
}

bool VersionCheck::Run(VersionActions& actions, const ServerConfig& servers) {
  return Judge(HttpExchange::QueryPage(servers.version, kVersionPath, servers), actions, servers);
}

std::future<NetResult<std::string>> VersionCheck::FetchInBackground(const ServerConfig& servers) {
  // A copy of the addresses: the settings may be reloaded meanwhile.
  return std::async(std::launch::async,
                    [servers] { return HttpExchange::QueryPage(servers.version, kVersionPath, servers); });
}

bool VersionCheck::Judge(const NetResult<std::string>& page, VersionActions& actions, const ServerConfig& servers) {
  if (!page) {
    std::fprintf(stderr, "veradex: version check at %s failed: %s\n", servers.version.HostPort().c_str(),
                 page.Describe().c_str());
    actions.ShowMessage(ReportTexts::ForPage(page.Error()), kStyleStop);
    actions.ShowMessage(ReportTexts::Get(ReportTexts::kVersionUnreachable), kStyleStop);
    return false;
  }
  const std::string published = PublishedVersion(page.Value());
  if (published.empty() || published == kOwnVersion) return true;

  actions.ShowMessage(ReportTexts::Get(ReportTexts::kUpgrade), kStyleStop);
  actions.OpenUrl(servers.DownloadUrl(kDownloadPath));
  actions.ExitProcess(0);
  return false;
}

}  // namespace veradex
