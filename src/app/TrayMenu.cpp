#include "app/TrayMenu.h"

#include <wx/menu.h>
#include <wx/string.h>

namespace veradex {

std::unique_ptr<wxMenu> TrayMenu::Create() {
  auto menu = std::make_unique<wxMenu>();
  menu->Append(ItemIdOf(kUsageGuide), wxString::FromUTF8("이용안내"));
  menu->Append(ItemIdOf(kFaq), wxString::FromUTF8("불법스팸신고 FAQ"));
  menu->Append(ItemIdOf(kHome), wxString::FromUTF8("Dunmere 홈"));
  menu->AppendSeparator();
  menu->Append(ItemIdOf(kPersonalSettings), wxString::FromUTF8("개인정보 환경설정"));
  menu->Append(ItemIdOf(kProgramSettings), wxString::FromUTF8("프로그램 관리"));
  menu->Append(ItemIdOf(kHistory), wxString::FromUTF8("신고 내역"));
  menu->AppendSeparator();
  menu->Append(ItemIdOf(kExit), wxString::FromUTF8("종료"));
  return menu;
}

int TrayMenu::CommandOf(int itemId) {
  const int command = itemId + kItemIdOffset;
  return IsCommand(command) ? command : 0;
}

bool TrayMenu::IsCommand(int id) {
  switch (id) {
    case kUsageGuide:
    case kPersonalSettings:
    case kFaq:
    case kHome:
    case kProgramSettings:
    case kHistory:
    case kExit:
      return true;
    default:
      return false;
  }
}

}  // namespace veradex
