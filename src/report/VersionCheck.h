#pragma once

#include <future>
#include <string>

#include "net/NetError.h"
#include "net/ServerConfig.h"
#include "report/VersionActions.h"

namespace veradex {

// Asks the version host for the published version when the report window
// starts, and forces the upgrade when it differs from the program's own.
class VersionCheck {
 public:
  static constexpr const char* kOwnVersion = "5.3";
  static constexpr const char* kVersionPath = "/veradex/veradex_version.html";
  static constexpr const char* kDownloadPath = "/ambrel/veradex_exe.wtz?op=1";

  // True when the report window may go on (page fetched, same version or
  // none published). False when the page could not be fetched (after the
  // message for the failure and the unreachable text). On a different
  // version it tells the user, opens the download page and ends the process;
  // should ExitProcess return (tests), the answer is false.
  static bool Run(VersionActions& actions, const ServerConfig& servers);

  // Run in two halves, so that the page can be on its way while the window
  // is still being made: the request, on a thread of its own, and what the
  // window does with its answer (as Run does).
  static std::future<NetResult<std::string>> FetchInBackground(const ServerConfig& servers);
  static bool Judge(const NetResult<std::string>& page, VersionActions& actions, const ServerConfig& servers);

  // The value of the last bar-terminated "name:value" segment of the page
  // body (blanks trimmed from both ends of the body first); empty when none.
  static std::string PublishedVersion(const std::string& body);
};

}  // namespace veradex
