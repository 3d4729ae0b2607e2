#pragma once

#include <memory>

class wxMenu;

namespace veradex {

// The tray menu (menu 191): the three information pages, the two settings
// commands and the report history, and the exit command, with the
// separators between the groups.
class TrayMenu {
 public:
  enum Command : int {
    kUsageGuide = 32773,        // "이용안내"
    kPersonalSettings = 32777,  // "개인정보 환경설정"
    kFaq = 32778,               // "불법스팸신고 FAQ"
    kHome = 32779,              // "Dunmere 홈"
    kProgramSettings = 32780,   // "프로그램 관리"
    kHistory = 32781,           // "신고 내역"
    kExit = 57665,              // "종료"
  };

  // A new menu with the entries from top to bottom. The toolkit takes item
  // ids below 0x7FFF only, so each entry's item id is its command minus
  // kItemIdOffset; CommandOf turns it back.
  static std::unique_ptr<wxMenu> Create();
  static constexpr int kItemIdOffset = 30000;
  static int ItemIdOf(int command) { return command - kItemIdOffset; }
  // The command of a menu item id; 0 for an id that is not one of ours.
  static int CommandOf(int itemId);
  // True for the command ids above.
  static bool IsCommand(int id);
};

}  // namespace veradex
