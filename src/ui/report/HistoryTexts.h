#pragma once

#include <wx/string.h>

namespace veradex {

// The texts of the report history window and of the duplicate question.
namespace HistoryTexts {
inline wxString Title() { return wxString::FromUTF8("신고 내역"); }
inline wxString Subtitle() { return wxString::FromUTF8("보낸 신고와 센터의 답변을 이 컴퓨터에 기록해 둡니다."); }
inline wxString FilterLabel() { return wxString::FromUTF8("찾기"); }
inline wxString DateColumn() { return wxString::FromUTF8("날짜"); }
inline wxString SubjectColumn() { return wxString::FromUTF8("제목"); }
inline wxString FromColumn() { return wxString::FromUTF8("보낸 사람"); }
inline wxString VerdictColumn() { return wxString::FromUTF8("결과"); }
inline wxString ResendButton() { return wxString::FromUTF8("다시 보내기"); }
inline wxString ExportButton() { return wxString::FromUTF8("CSV로 내보내기"); }
inline wxString CloseButton() { return wxString::FromUTF8("닫기"); }
// %d: the number of rows shown, %d: all rows.
inline wxString RowCount() { return wxString::FromUTF8("%d건 (전체 %d건)"); }
inline wxString TimeLabel() { return wxString::FromUTF8("시각"); }
inline wxString FileLabel() { return wxString::FromUTF8("파일"); }
inline wxString SentNameLabel() { return wxString::FromUTF8("보낸 이름"); }
inline wxString SizeLabel() { return wxString::FromUTF8("크기"); }
inline wxString RunLabel() { return wxString::FromUTF8("회차"); }
inline wxString AnswerLabel() { return wxString::FromUTF8("센터 답변"); }
inline wxString OnlyRefused() { return wxString::FromUTF8("접수되지 않은 신고만 다시 보낼 수 있습니다."); }
// %s: the file.
inline wxString FileGone() { return wxString::FromUTF8("파일이 더 이상 없어 다시 보낼 수 없습니다.\n%s"); }
inline wxString ExportFailed() { return wxString::FromUTF8("파일을 저장할 수 없습니다.\n%s"); }
inline wxString ExportTitle() { return wxString::FromUTF8("신고 내역 내보내기"); }
inline wxString ExportFileName() { return wxString::FromUTF8("신고내역.csv"); }
// %s: "YYYY-MM-DD HH:MM" of the earlier report.
inline wxString AlreadyReported() { return wxString::FromUTF8("이미 신고한 메일입니다 (%s). 다시 첨부하시겠습니까?"); }
}  // namespace HistoryTexts

}  // namespace veradex
