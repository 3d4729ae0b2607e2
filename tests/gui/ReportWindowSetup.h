#pragma once

#include <filesystem>
#include <string>

#include "profile/MemoryProfileStore.h"
#include "profile/ProfileStore.h"
#include "profile/ServerSettings.h"
#include "support/ReportCentreHarness.h"

namespace veradex::test {

// What the tests of a real report window set up alike: the profile in use
// names the program folder and sends every server to the test centre.
inline void UseTestCentre(MemoryProfileStore& store, ReportCentreHarness& centre, const std::string& programDir) {
  ProfileStore::SetCurrent(&store);
  store.WriteProfileString(profile::kEnvironments, "ProPathName", programDir + "/");
  store.WriteProfileString(profile::kServers, "report", centre.Centre().Address().HostPort());
  store.WriteProfileString(profile::kServers, "version", centre.Centre().Address().HostPort());
  store.WriteProfileString(profile::kServers, "ca_file", centre.CaFile());
  ServerSettings::Reload();
}

// The page templates as shipped, copied into a folder of the test's own.
inline void CopyShippedPages(const std::string& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(std::string(VERADEX_SOURCE_DIR) + "/res/pages"))
    std::filesystem::copy_file(entry.path(), folder + "/" + entry.path().filename().string());
}

}  // namespace veradex::test
