#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Cp949.h"
#include "report/AttachmentRules.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

std::string Message(AttachmentProblem problem) { return AttachmentRules::MessageOf(problem); }

TEST(AttachmentRules, FiveNamesAtMostAndNoneTwiceInAnyCase) {
  std::vector<std::string> listed;
  for (const char* name : {"a.eml", u8"메일.msg", "c.eml", "d.eml"}) {
    EXPECT_EQ(AttachmentRules::CheckAdd(listed, name), AttachmentProblem::kNone) << name;
    listed.push_back(name);
  }
  // The name alone counts: any folder, any case of the ASCII letters.
  EXPECT_EQ(AttachmentRules::CheckAdd(listed, AttachmentRules::NameOf("/other/folder/A.EML")),
            AttachmentProblem::kDuplicate);
  EXPECT_EQ(AttachmentRules::CheckAdd(listed, u8"메일.MSG"), AttachmentProblem::kDuplicate);
  EXPECT_EQ(AttachmentRules::CheckAdd(listed, u8"메일2.msg"), AttachmentProblem::kNone);
  listed.push_back("e.eml");
  // With five listed even a new name is refused, and the limit is told first.
  EXPECT_EQ(AttachmentRules::CheckAdd(listed, "f.eml"), AttachmentProblem::kTooMany);
  EXPECT_EQ(AttachmentRules::CheckAdd(listed, "a.eml"), AttachmentProblem::kTooMany);
  EXPECT_EQ(Message(AttachmentProblem::kTooMany), Cp949::FromUtf8("5개 이상은 첨부하실 수 없습니다"));
  EXPECT_EQ(Message(AttachmentProblem::kDuplicate), Cp949::FromUtf8("동일한 파일이 첨부리스트에 존재합니다"));
}

TEST(AttachmentRules, DroppedItemsNeedAMailExtension) {
  const struct {
    const char* path;
    bool accepted;
  } rows[] = {
      {"/m/a.eml", true},      {"/m/a.MSG", true},   {"/m/x.txt.eml", true}, {"/m/a.txt", false},
      {"/m/a.eml.txt", false}, {"/m/a.emlx", false}, {"/m/eml", false},
  };
  for (const auto& row : rows)
    EXPECT_EQ(AttachmentRules::CheckDropped(row.path) == AttachmentProblem::kNone, row.accepted) << row.path;
  EXPECT_EQ(Message(AttachmentProblem::kNotMailFile), Cp949::FromUtf8("eml파일 또는 msg파일이 아닙니다"));
}

TEST(AttachmentRules, SendTimeTestOpensThenMeasuresThenLooksAtTheName) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.File("folder.msg"));
  const std::string tooLarge = Cp949::FromUtf8("파일 크기는 2MByte 이하로 첨부 하셔야 합니다.");
  const std::string wrongName =
      Cp949::FromUtf8("파일명의 끝에 \".eml, .msg\"등의 문자(확장자)를 가진 파일만 첨부가 가능합니다.");
  struct Row {
    std::string path;
    AttachmentProblem problem;
    std::string message;
  };
  std::vector<Row> rows = {
      {dir.Write("exact.eml", std::string(2097152, 'x')), AttachmentProblem::kNone, ""},
      {dir.Write("upper.MSG", "x"), AttachmentProblem::kNone, ""},
      {dir.Write("over.eml", std::string(2097153, 'x')), AttachmentProblem::kTooLarge, tooLarge},
      {dir.Write("over.txt", std::string(2097153, 'x')), AttachmentProblem::kTooLarge, tooLarge},  // size first
      {dir.Write("eml", "x"), AttachmentProblem::kWrongExtension, wrongName},
      {dir.File("missing.eml"), AttachmentProblem::kCannotOpen, Cp949::FromUtf8("에러(2): 파일을 찾을 수 없습니다.")},
      {dir.File("exact.eml/inner.eml"), AttachmentProblem::kCannotOpen,
       Cp949::FromUtf8("에러(3): 파일 경로가 올바르지 않습니다.")},
      {dir.File("folder.msg"), AttachmentProblem::kCannotOpen, Cp949::FromUtf8("에러(5): 파일이 아니라 폴더입니다.")},
  };
#ifndef _WIN32             // Windows' access rights are not file modes
  if (::geteuid() != 0) {  // permissions bind everyone but the superuser
    const std::string locked = dir.Write("locked.eml", "x");
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    rows.push_back(
        {locked, AttachmentProblem::kCannotOpen, Cp949::FromUtf8("에러(5): 파일에 접근할 권한이 없습니다.")});
  }
#endif
  for (const Row& row : rows) {
    const AttachmentRules::Verdict verdict = AttachmentRules::CheckFile(row.path);
    EXPECT_EQ(verdict.problem, row.problem) << row.path;
    EXPECT_EQ(AttachmentRules::MessageOf(verdict), row.message) << row.path;
  }

  // The list shows the size of a readable file and 0 for anything else.
  EXPECT_EQ(AttachmentRules::ListedSize(dir.File("upper.MSG")), 1);
  EXPECT_EQ(AttachmentRules::ListedSize(dir.File("missing.eml")), 0);
  EXPECT_EQ(AttachmentRules::ListedSize(dir.File("folder.msg")), 0);
}

}  // namespace
}  // namespace veradex
