#pragma once

// The sandbox centre's own texts. The pages it shows are UTF-8; the answers
// the program reads (CentreServer::Answer) carry their texts in code page 949.
namespace veradex::centre::texts {

constexpr const char* kListTitle = u8"Veradex 신고 센터 (시험용)";
constexpr const char* kListIntro =
    u8"이 컴퓨터의 시험용 신고 센터가 받은 신고입니다. 최근 것이 위에 있습니다. 진짜 신고 센터로는 아무것도 "
    u8"보내지 않았습니다.";
constexpr const char* kListEmpty = u8"아직 받은 신고가 없습니다.";
constexpr const char* kNumber = u8"번호";
constexpr const char* kTime = u8"접수 시각";
constexpr const char* kKind = u8"종류";
constexpr const char* kName = u8"이름";
constexpr const char* kEmail = u8"전자우편";
constexpr const char* kTelephone = u8"전화";
constexpr const char* kMobile = u8"휴대전화";
constexpr const char* kContent = u8"내용";
constexpr const char* kAttachment = u8"첨부";
constexpr const char* kState = u8"처리 상태";
constexpr const char* kOtherFields = u8"그 밖의 항목";
constexpr const char* kMailSubject = u8"제목";
constexpr const char* kMailFrom = u8"보낸 사람";

constexpr const char* kStateReceived = u8"접수 완료";
constexpr const char* kStateRefused = u8"접수되지 않음";
constexpr const char* kStateUploaded = u8"파일만 받음 (신고서 없음)";

constexpr const char* kKindEmail = u8"스팸 메일";
constexpr const char* kKindPhone = u8"전화 스팸";
constexpr const char* kKindEmailReturn = u8"수신 거부 후 재전송";
constexpr const char* kKindBoard = u8"게시판 스팸";
constexpr const char* kKindElec = u8"전자 매체 스팸";
constexpr const char* kKindFax = u8"팩스 스팸";
constexpr const char* kKindCode = u8"악성 코드";

constexpr const char* kLookupTitle = u8"신고 민원 확인 결과";
constexpr const char* kLookupFor = u8"조회한 번호";
constexpr const char* kLookupNone = u8"이 번호와 민원 비밀번호로 접수된 신고가 없습니다.";
constexpr const char* kLookupMissing = u8"휴대전화 번호와 민원 비밀번호를 모두 넣어 주십시오.";
constexpr const char* kBack = u8"돌아가기";

}  // namespace veradex::centre::texts
