#include "report/ReportTexts.h"

#include <array>

#include "platform/Cp949.h"

namespace veradex {

namespace {

// In the order of ReportTexts::Text.
constexpr const char* kUtf8Texts[] = {
    "서버 연결에 실패 하였습니다.",
    "전송이 실패했습니다.",
    "등록이 실패하였습니다.",
    "파일업로드중 실패하였습니다",
    "민원인님의 질문이 접수되지 않았습니다. 다시 시도해 주십시오.",
    "정상적으로 접수되었습니다.",
    "새로운 버전으로 업그레이드 하십시오",
    "서버로의 접속이 실패하여 버전정보를 불러올 수 없습니다.\r\n"
    "인터넷에 연결되어 있는지 확인하고\n"
    "프로그램을 다시 시작해주시기\n"
    "바랍니다.",
    "접수되지 않은 첨부파일 %d개가 목록에 남아 있습니다. 다시 보내주시기 바랍니다.",
    "현재 전송중입니다. 전송이 끝난후 보내주시기 바랍니다.",
    "에 보낼 수 없는 문자(이모지 등)가 있습니다. 그 문자를 지우고 다시 보내주시기 바랍니다.",
    "성명/상호를 입력하시기 바랍니다.",
    "전화번호를 입력하시기 바랍니다.",
    "신고건에 대한 처리를 위해선 이메일이 필요합니다.",
    "비밀번호와 재확인 한 비밀번호가 일치 하지 않습니다.",
    "메일을 입력하여 주시기 바랍니다.",
    "한글 ",
    "자까지 입력하실 수 있습니다.",
    "5개 이상은 첨부하실 수 없습니다",
    "동일한 파일이 첨부리스트에 존재합니다",
    "eml파일 또는 msg파일이 아닙니다",
    "에러(",
    "파일 크기는 2MByte 이하로 첨부 하셔야 합니다.",
    "파일명의 끝에 \".eml, .msg\"등의 문자(확장자)를 가진 파일만 첨부가 가능합니다.",
    "파일을 찾을 수 없습니다.",
    "파일 경로가 올바르지 않습니다.",
    "열려 있는 파일이 너무 많습니다.",
    "파일에 접근할 권한이 없습니다.",
    "파일이 아니라 폴더입니다.",
    "파일을 읽는 중 장치 오류가 발생했습니다.",
    "다른 프로그램이 파일을 사용하고 있습니다.",
    "메일 클라이언트가 켜져 있는 상태라면 활성화 되어 있는지 확인하시고 여전히 되지 않으면 ",
    "로 \n메일 클라이언트의 자세한 버전과\n사용하시는 OS버전을 보내주시기\n바랍니다.",
    "메일을 하나만 선택한 뒤 다시 눌러주시기 바랍니다.",
    "제목",
    "보낸 사람",
    "날짜",
    "처음 받은 곳",
    "크기",
    "본문",
    "바이트",
    "(없음)",
    "메일 파일이 아닙니다. 보내기 전에 파일을 확인해 주십시오.",
    "손상된 메일입니다 (끝이 잘렸거나 형식이 어긋납니다). 읽은 내용만 보여 드립니다.",
    "파일을 읽을 수 없습니다.",
    "시각,파일,보낸 이름,크기,SHA-256,Message-ID,제목,보낸 사람,결과,센터 답변,회차",
    "접수됨",
    "접수 안 됨",
    "보내지 못함",
    "신고 내역을 저장할 수 없습니다. 신고는 그대로 보내지지만 이번 실행 동안의 내역은 남지 않습니다.",
    "신고 내역 파일이 손상되어 %s 로 옮겨 두고 새 내역을 시작합니다.",
    "인터넷 연결이 복구되면 자동으로 보내시겠습니까?",
    "보류된 신고 %d건이 접수되었습니다.",
    "보류된 신고 %d건이 접수되지 않았습니다. 신고 내역에서 다시 보낼 수 있습니다.",
    "센터의 인증서를 확인할 수 없어 보류된 신고를 보내지 않습니다. 프로그램을 다시 시작하면 다시 시도합니다.",
    "새로운 버전으로 업그레이드해야 보류된 신고를 보낼 수 있습니다.",
    "보낼 신고 %d건 대기 중",
    "대기 중",
    "지금 보내기",
    "취소",
    "보류된 신고를 취소하시겠습니까?\n보관해 둔 첨부파일도 함께 지워집니다.",
    "보류된 신고가 이미 %d건이어서 더 보관할 수 없습니다. 인터넷 연결이 복구된 뒤 다시 보내주시기 바랍니다.",
    ("보류된 신고의 첨부파일이 %dMB를 넘게 되어 더 보관할 수 없습니다. 인터넷 연결이 복구된 뒤 다시 보내주시기 "
     "바랍니다."),
    "신고를 보관하지 못했습니다. 신고 내용은 창에 그대로 남아 있습니다.",
    "손상된 보류 신고를 다음 위치로 옮겨 두었습니다.\n%s",
    "지금 보내는 중인 신고입니다. 잠시 후 다시 시도해 주십시오.",
    "다음 시도",
    "프로그램을 다시 시작할 때",
};
static_assert(sizeof kUtf8Texts / sizeof kUtf8Texts[0] == ReportTexts::kTextCount);

// A failure before the request went out, in writing it, in the answer.
enum class Stage { kConnecting, kSending, kAnswer, kRefused };

Stage StageOf(NetError error) {
  switch (error) {
    case NetError::kResolve:
    case NetError::kConnect:
    case NetError::kTimeout:
    case NetError::kCertificate:
      return Stage::kConnecting;
    case NetError::kSend:
      return Stage::kSending;
    case NetError::kReceive:
    case NetError::kHttpStatus:
      return Stage::kAnswer;
    case NetError::kRefused:
      return Stage::kRefused;
  }
  return Stage::kAnswer;
}

const std::string& None() {
  static const std::string empty;
  return empty;
}

}  // namespace

const std::string& ReportTexts::Get(Text text) {
  static const auto converted = [] {
    std::array<std::string, kTextCount> texts;
    for (int i = 0; i < kTextCount; ++i) texts[i] = Cp949::FromUtf8(kUtf8Texts[i]);
    return texts;
  }();
  return converted[text];
}

const std::string& ReportTexts::ForUpload(NetError error) {
  switch (StageOf(error)) {
    case Stage::kConnecting:
      return Get(kConnectFailed);
    case Stage::kSending:
      return Get(kSendFailed);
    case Stage::kAnswer:
      return Get(kRegistrationFailed);
    case Stage::kRefused:
      return Get(kUploadFailed);
  }
  return None();
}

const std::string& ReportTexts::ForForm(NetError error) {
  // A form that could not be posted only ends the run as failed.
  return error == NetError::kRefused ? Get(kNotReceived) : None();
}

const std::string& ReportTexts::ForPage(NetError error) {
  switch (StageOf(error)) {
    case Stage::kConnecting:
      return Get(kConnectFailed);
    case Stage::kSending:
      return Get(kSendFailed);
    case Stage::kAnswer:
    case Stage::kRefused:
      return Get(kRegistrationFailed);
  }
  return None();
}

}  // namespace veradex
