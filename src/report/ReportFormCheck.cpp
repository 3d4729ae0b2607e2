#include "report/ReportFormCheck.h"

#include "platform/Cp949.h"

namespace veradex {

namespace {
constexpr int kContentLimitSyllables = 2000;
}  // namespace

FormProblem ReportFormCheck::Check(const Fields& fields) {
  if (fields.sending) return FormProblem::kSending;
  if (!fields.unstorableField.empty()) return FormProblem::kUnstorableText;
  if (fields.name.empty()) return FormProblem::kNoName;
  if (fields.tel1.empty()) return FormProblem::kNoTelephone;
  if (fields.email.empty()) return FormProblem::kNoEmail;
  // An empty password is not compared, whatever the confirmation holds.
  if (!fields.password.empty() && fields.password != fields.passwordConfirm) return FormProblem::kPasswordMismatch;
  if (fields.attachmentCount == 0) return FormProblem::kNoAttachment;
  return FormProblem::kNone;
}

std::string ReportFormCheck::MessageOf(FormProblem problem, const std::string& field) {
  switch (problem) {
    case FormProblem::kNone:
      return std::string();
    case FormProblem::kSending:
      return Cp949::FromUtf8("현재 전송중입니다. 전송이 끝난후 보내주시기 바랍니다.");
    case FormProblem::kUnstorableText:
      return field + Cp949::FromUtf8(
                         "에 보낼 수 없는 문자(이모지 등)가 있습니다. "
                         "그 문자를 지우고 다시 보내주시기 바랍니다.");
    case FormProblem::kNoName:
      return Cp949::FromUtf8("성명/상호를 입력하시기 바랍니다.");
    case FormProblem::kNoTelephone:
      return Cp949::FromUtf8("전화번호를 입력하시기 바랍니다.");
    case FormProblem::kNoEmail:
      return Cp949::FromUtf8("신고건에 대한 처리를 위해선 이메일이 필요합니다.");
    case FormProblem::kPasswordMismatch:
      return Cp949::FromUtf8("비밀번호와 재확인 한 비밀번호가 일치 하지 않습니다.");
    case FormProblem::kNoAttachment:
      return Cp949::FromUtf8("메일을 입력하여 주시기 바랍니다.");
  }
  return std::string();
}

bool ReportFormCheck::ReachesContentLimit(const std::string& content) { return content.size() >= kContentLimit; }

std::size_t ReportFormCheck::CharactersWithinLimit(const std::string& content) {
  const std::size_t bytes = Cp949::WholeCharacterPrefix(content, kContentLimit);
  std::size_t characters = 0;
  for (std::size_t i = 0; i < bytes; ++characters)
    i += Cp949::IsLeadByte(static_cast<unsigned char>(content[i])) ? 2 : 1;
  return characters;
}

std::string ReportFormCheck::ContentLimitMessage() {
  return Cp949::FromUtf8("한글 ") + std::to_string(kContentLimitSyllables) +
         Cp949::FromUtf8("자까지 입력하실 수 있습니다.");
}

}  // namespace veradex
