#include "app/TrayMenu.h"

#include <wx/menu.h>
#include <wx/string.h>

namespace veradex {

std::unique_ptr<wxMenu> TrayMenu::Create() {
  auto menu = std::make_unique<wxMenu>();
  menu->Append(kUsageGuide, wxString::FromUTF8("이용안내"));
  menu->Append(kFaq, wxString::FromUTF8("불법스팸신고 FAQ"));
  menu->Append(kHome, wxString::FromUTF8("Dunmere 홈"));
  menu->AppendSeparator();
  menu->Append(kPersonalSettings, wxString::FromUTF8("개인정보 환경설정"));
  menu->Append(kProgramSettings, wxString::FromUTF8("프로그램 관리"));
  menu->AppendSeparator();
  menu->Append(kExit, wxString::FromUTF8("종료"));
  return menu;
}

bool TrayMenu::IsCommand(int id) {
  switch (id) {
    case kUsageGuide:
    case kPersonalSettings:
    case kFaq:
    case kHome:
    case kProgramSettings:
    case kExit:
      return true;
    default:
      return false;
  }
}

}  // namespace veradex
