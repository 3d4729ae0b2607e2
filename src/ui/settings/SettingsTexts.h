#pragma once

#include <string>

#include <wx/string.h>

#include "platform/Cp949.h"

namespace veradex {

// The fixed Korean texts of the password and settings dialogs. The source
// holds them as UTF-8; the program's domain text is code page 949.
class SettingsTexts {
 public:
  static wxString Wx(const char* utf8) { return wxString::FromUTF8(utf8); }
  static std::string Bytes(const char* utf8) { return Cp949::FromUtf8(utf8); }

  static constexpr const char* kLoginCaption = "로그인";
  static constexpr const char* kSetupCaption = "암호설정";
  static constexpr const char* kSettingsCaption = "개인정보 환경설정";
  static constexpr const char* kPasswordsDiffer = "입력하신 두 암호가 다릅니다.";
  static constexpr const char* kAuthenticationFailed = "인증에 실패하였습니다.";
  // A typed text holds a character that code page 949 cannot store; nothing
  // is taken, the dialog stays open with the text as typed.
  static constexpr const char* kUnstorableText =
      "입력하신 내용에 저장할 수 없는 문자가 있습니다.\n해당 문자를 지우고 다시 입력해 주십시오.";
  // The profile could not be written (a full disk, a folder without write
  // access); the dialog stays open with the typed values.
  static constexpr const char* kNotSavedText =
      "설정을 저장하지 못했습니다.\n디스크 공간과 설정 폴더의 쓰기 권한을 확인한 후 다시 저장해 주십시오.";

  // The general page's autostart box: the session that starts the program.
#ifdef _WIN32
  static constexpr const char* kRunAtStartBox = "윈도우 시작 시 자동실행";
#else
  static constexpr const char* kRunAtStartBox = "로그인 시 자동실행";
#endif
  // Saving the general page stored the preference, but no autostart entry
  // could be written (neither the machine's nor the user's place took it).
  static constexpr const char* kAutostartNotWritten =
      "자동실행을 설정하지 못했습니다.\n설정은 저장되었으며, 다음 시작 때 다시 시도합니다.";
  // An entry is left that the user may not remove (the machine's, written by
  // the administrator).
  static constexpr const char* kAutostartNotRemoved =
      "자동실행을 해제하지 못했습니다.\n모든 사용자에게 적용된 자동실행은 관리자 권한으로만 해제할 수 있습니다.";
  // What a screen reader calls the three parts of a number that share one label.
  static constexpr const char* kNumberParts[3] = {"앞자리", "가운데자리", "뒷자리"};
};

}  // namespace veradex
