#include <gtest/gtest.h>

#include <string>

#include "platform/Cp949.h"
#include "report/ReportFormCheck.h"

namespace veradex {
namespace {

ReportFormCheck::Fields Complete() {
  ReportFormCheck::Fields fields;
  fields.name = Cp949::FromUtf8("홍길동");
  fields.tel1 = "02";
  fields.email = "hong@example.com";
  fields.attachmentCount = 1;
  return fields;
}

TEST(ReportFormCheck, EachProblemInItsOrderWithItsMessage) {
  // Each row spoils one more field than the row below it, so every row also
  // shows that its problem is tested before all those further down.
  struct Row {
    void (*spoil)(ReportFormCheck::Fields&);
    FormProblem problem;
    const char* message;
  };
  const Row rows[] = {
      {[](auto& f) { f.sending = true; }, FormProblem::kSending,
       "현재 전송중입니다. 전송이 끝난후 보내주시기 바랍니다."},
      {[](auto& f) { f.unstorableField = Cp949::FromUtf8("신고내용"); }, FormProblem::kUnstorableText,
       "신고내용에 보낼 수 없는 문자(이모지 등)가 있습니다. 그 문자를 지우고 다시 보내주시기 바랍니다."},
      {[](auto& f) { f.name.clear(); }, FormProblem::kNoName, "성명/상호를 입력하시기 바랍니다."},
      {[](auto& f) { f.tel1.clear(); }, FormProblem::kNoTelephone, "전화번호를 입력하시기 바랍니다."},
      {[](auto& f) { f.email.clear(); }, FormProblem::kNoEmail, "신고건에 대한 처리를 위해선 이메일이 필요합니다."},
      {[](auto& f) {
         f.password = "Secret";
         f.passwordConfirm = "secret";
       },
       FormProblem::kPasswordMismatch, "비밀번호와 재확인 한 비밀번호가 일치 하지 않습니다."},
      {[](auto& f) { f.attachmentCount = 0; }, FormProblem::kNoAttachment, "메일을 입력하여 주시기 바랍니다."},
  };
  constexpr std::size_t kRows = sizeof rows / sizeof rows[0];
  for (std::size_t i = 0; i < kRows; ++i) {
    ReportFormCheck::Fields fields = Complete();
    for (std::size_t j = i; j < kRows; ++j) rows[j].spoil(fields);
    const FormProblem problem = ReportFormCheck::Check(fields);
    EXPECT_EQ(problem, rows[i].problem) << "row " << i;
    EXPECT_EQ(ReportFormCheck::MessageOf(problem, fields.unstorableField), Cp949::FromUtf8(rows[i].message))
        << "row " << i;
  }

  // What is not checked: telephone parts 2 and 3 are not fields here, the
  // description may be empty, and an empty password ignores its confirmation.
  ReportFormCheck::Fields fields = Complete();
  fields.passwordConfirm = "stray";
  EXPECT_EQ(ReportFormCheck::Check(fields), FormProblem::kNone);
  fields.password = fields.passwordConfirm = Cp949::FromUtf8("암호");
  EXPECT_EQ(ReportFormCheck::Check(fields), FormProblem::kNone);
}

TEST(ReportFormCheck, DescriptionStopsBeforeFourThousandBytesOnWholeCharacters) {
  const std::string syllable = Cp949::FromUtf8("가");
  std::string hangul;
  for (int i = 0; i < 1999; ++i) hangul += syllable;
  struct Row {
    std::string content;
    bool reaches;
    std::size_t characters;
  };
  const Row rows[] = {
      {std::string(3999, 'a'), false, 3999},
      {std::string(5000, 'a'), true, 4000},             // a paste keeps its first 4000 bytes
      {hangul, false, 1999},                            // 3998 bytes
      {hangul + syllable, true, 2000},                  // exactly 4000 bytes: kept, but the limit is reached
      {std::string(3999, 'b') + syllable, true, 3999},  // the syllable across the limit goes whole
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ReportFormCheck::ReachesContentLimit(row.content), row.reaches) << row.content.size();
    if (row.reaches) {
      EXPECT_EQ(ReportFormCheck::CharactersWithinLimit(row.content), row.characters);
    }
  }
  EXPECT_EQ(ReportFormCheck::ContentLimitMessage(), Cp949::FromUtf8("한글 2000자까지 입력하실 수 있습니다."));
}

}  // namespace
}  // namespace veradex
