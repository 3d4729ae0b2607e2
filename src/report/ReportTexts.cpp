#include "report/ReportTexts.h"

#include "platform/Cp949.h"

namespace veradex {

#define VERADEX_TEXT(Name, utf8)                           \
  const std::string& ReportTexts::Name() {                 \
    static const std::string text = Cp949::FromUtf8(utf8); \
    return text;                                           \
  }

VERADEX_TEXT(SubjectLabel, "제목")
VERADEX_TEXT(FromLabel, "보낸 사람")
VERADEX_TEXT(DateLabel, "날짜")
VERADEX_TEXT(FirstHopLabel, "처음 받은 곳")
VERADEX_TEXT(SizeLabel, "크기")
VERADEX_TEXT(BodyLabel, "본문")
VERADEX_TEXT(Bytes, "바이트")
VERADEX_TEXT(Missing, "(없음)")
VERADEX_TEXT(NotMail, "메일 파일이 아닙니다. 보내기 전에 파일을 확인해 주십시오.")
VERADEX_TEXT(DamagedMail, "손상된 메일입니다 (끝이 잘렸거나 형식이 어긋납니다). 읽은 내용만 보여 드립니다.")
VERADEX_TEXT(Unreadable, "파일을 읽을 수 없습니다.")
VERADEX_TEXT(CsvHeader, "시각,파일,보낸 이름,크기,SHA-256,Message-ID,제목,보낸 사람,결과,센터 답변,회차")
VERADEX_TEXT(VerdictAccepted, "접수됨")
VERADEX_TEXT(VerdictRefused, "접수 안 됨")
VERADEX_TEXT(VerdictNotSent, "보내지 못함")
VERADEX_TEXT(HistoryUnavailable,
             "신고 내역을 저장할 수 없습니다. 신고는 그대로 보내지지만 이번 실행 동안의 내역은 남지 않습니다.")
VERADEX_TEXT(HistoryDamaged, "신고 내역 파일이 손상되어 %s 로 옮겨 두고 새 내역을 시작합니다.")

#undef VERADEX_TEXT

}  // namespace veradex
