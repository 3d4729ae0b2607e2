#include "report/ReportFormCheck.h"

#include "platform/Cp949.h"
#include "report/ReportTexts.h"

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
      return ReportTexts::Get(ReportTexts::kStillSending);
    case FormProblem::kUnstorableText:
      return field + ReportTexts::Get(ReportTexts::kUnstorableField);
    case FormProblem::kNoName:
      return ReportTexts::Get(ReportTexts::kNoName);
    case FormProblem::kNoTelephone:
      return ReportTexts::Get(ReportTexts::kNoTelephone);
    case FormProblem::kNoEmail:
      return ReportTexts::Get(ReportTexts::kNoEmail);
    case FormProblem::kPasswordMismatch:
      return ReportTexts::Get(ReportTexts::kPasswordMismatch);
    case FormProblem::kNoAttachment:
      return ReportTexts::Get(ReportTexts::kNoAttachment);
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
  return ReportTexts::Get(ReportTexts::kContentLimitBefore) + std::to_string(kContentLimitSyllables) +
         ReportTexts::Get(ReportTexts::kContentLimitAfter);
}

}  // namespace veradex
