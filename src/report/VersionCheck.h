#pragma once

#include <string>

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
  // 새로운 버전으로 업그레이드 하십시오
  static constexpr const char* kUpgradeText =
      "\xbb\xf5\xb7\xce\xbf\xee\x20\xb9\xf6\xc0\xfc\xc0\xb8\xb7\xce\x20\xbe\xf7\xb1\xd7\xb7\xb9\xc0\xcc\xb5\xe5\x20\xc7"
      "\xcf\xbd\xca\xbd\xc3\xbf\xc0";
  // 서버로의 접속이 실패하여 버전정보를 불러올 수 없습니다.\r\n인터넷에 연결되어 있는지
  // 확인하고\n프로그램을 다시 시작해주시기\n바랍니다.
  static constexpr const char* kUnreachableText =
      "\xbc\xad\xb9\xf6\xb7\xce\xc0\xc7\x20\xc1\xa2\xbc\xd3\xc0\xcc\x20\xbd\xc7\xc6\xd0\xc7\xcf\xbf\xa9\x20\xb9\xf6"
      "\xc0\xfc\xc1\xa4\xba\xb8\xb8\xa6\x20\xba\xd2\xb7\xaf\xbf\xc3\x20\xbc\xf6\x20\xbe\xf8\xbd\xc0\xb4\xcf\xb4\xd9"
      "\x2e\r\n"
      "\xc0\xce\xc5\xcd\xb3\xdd\xbf\xa1\x20\xbf\xac\xb0\xe1\xb5\xc7\xbe\xee\x20\xc0\xd6\xb4\xc2\xc1\xf6\x20\xc8\xae"
      "\xc0\xce\xc7\xcf\xb0\xed\n"
      "\xc7\xc1\xb7\xce\xb1\xd7\xb7\xa5\xc0\xbb\x20\xb4\xd9\xbd\xc3\x20\xbd\xc3\xc0\xdb\xc7\xd8\xc1\xd6\xbd\xc3\xb1"
      "\xe2\n"
      "\xb9\xd9\xb6\xf8\xb4\xcf\xb4\xd9\x2e";

  // True when the report window may go on (page fetched, same version or
  // none published). False when the page could not be fetched (after the
  // exchange's message and the unreachable text). On a different version it
  // tells the user, opens the download page and ends the process; should
  // ExitProcess return (tests), the answer is false.
  static bool Run(VersionActions& actions, const ServerConfig& servers);

  // The value of the last bar-terminated "name:value" segment of the page
  // body (blanks trimmed from both ends of the body first); empty when none.
  static std::string PublishedVersion(const std::string& body);
};

}  // namespace veradex
