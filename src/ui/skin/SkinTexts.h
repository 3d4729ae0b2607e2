#pragma once

namespace veradex {

// The Korean texts of the skinned toolkit, as UTF-8: what a screen reader
// calls the message box's buttons (their pictures show these words).
namespace SkinTexts {
inline constexpr const char* kOk = "확인";
inline constexpr const char* kCancel = "취소";
inline constexpr const char* kYes = "예";
inline constexpr const char* kNo = "아니요";
}  // namespace SkinTexts

}  // namespace veradex
