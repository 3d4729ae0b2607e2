#pragma once

#include <wx/string.h>

namespace veradex {

// The texts of the report window, its e-mail report panel, category buttons
// and attachment list, as UTF-8 (converted where they are shown).
namespace ReportWindowTexts {
inline constexpr const char* kFontGulim = "굴림";
inline constexpr const char* kNameColumn = "파일명";
inline constexpr const char* kSizeColumn = "용량";
inline constexpr const char* kEmailSpam = "E-MAIL 스팸";
inline constexpr const char* kPhoneSpam = "전화(휴대폰) 스팸";
inline constexpr const char* kResentSpam = "E-MAIL 수신거부 후 재전송";
inline constexpr const char* kBoardSpam = "게시판 스팸";
inline constexpr const char* kMediaSpam = "전자적 매체";
inline constexpr const char* kFaxSpam = "팩스 스팸";
inline constexpr const char* kCodeSpam = "악성코드";
inline constexpr const char* kNameLabel = "성명/상호";
inline constexpr const char* kTelephoneLabel = "전화번호";
inline constexpr const char* kPasswordLabel = "비밀번호";
inline constexpr const char* kPasswordConfirmLabel = "비밀번호 확인";
inline constexpr const char* kContentLabel = "신고내용";
inline constexpr const char* kAttachmentLimitLabel = "첨부파일은 5개까지 가능";
inline constexpr const char* kCountLabelZero = "[총 0개 첨부]";
inline constexpr const char* kCountLabel = "[총 %d개 첨부]";
inline constexpr const char* kDropHint = "스팸메일 원본(.eml)을 마우스로 끌어오세요";
inline constexpr const char* kSendNotStarted = "전송을 시작하지 못했습니다. 잠시 후 다시 보내주시기 바랍니다.";
inline constexpr const char* kListBusy = "현재 전송중입니다. 전송이 끝난후 첨부파일을 바꾸시기 바랍니다.";
inline constexpr const char* kMenu = "메뉴";
inline constexpr const char* kSettings = "환경설정";
inline constexpr const char* kLookup = "민원확인";
// What a screen reader calls the controls that show only a picture.
inline constexpr const char* kMinimiseName = "최소화";
inline constexpr const char* kCloseName = "닫기";
inline constexpr const char* kSendName = "신고하기";
inline constexpr const char* kAddName = "첨부파일 추가";
inline constexpr const char* kDeleteName = "선택한 첨부파일 삭제";
inline constexpr const char* kCaptureName = "메일 프로그램에서 가져오기";
inline constexpr const char* kTel1Name = "전화번호 앞자리";
inline constexpr const char* kTel2Name = "전화번호 가운데자리";
inline constexpr const char* kTel3Name = "전화번호 뒷자리";
inline constexpr const char* kAttachmentListName = "첨부파일 목록";
inline constexpr const char* kProgressName = "전송 진행률";
}  // namespace ReportWindowTexts

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
inline wxString ContentLabel() { return wxString::FromUTF8("신고내용"); }
inline wxString ReporterLabel() { return wxString::FromUTF8("신고인"); }
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
