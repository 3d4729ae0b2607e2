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
};

}  // namespace veradex
