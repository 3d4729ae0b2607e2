#include <gtest/gtest.h>

#include "report/ReportTexts.h"

namespace veradex {
namespace {

// The texts as code page 949 bytes, written out independently of the source's
// UTF-8 literals.
const std::string kConnectFailed =  // 서버 연결에 실패 하였습니다.
    "\xbc\xad\xb9\xf6\x20\xbf\xac\xb0\xe1\xbf\xa1\x20\xbd\xc7\xc6\xd0\x20\xc7\xcf\xbf\xb4\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
const std::string kSendFailed =  // 전송이 실패했습니다.
    "\xc0\xfc\xbc\xdb\xc0\xcc\x20\xbd\xc7\xc6\xd0\xc7\xdf\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
const std::string kRegistrationFailed =  // 등록이 실패하였습니다.
    "\xb5\xee\xb7\xcf\xc0\xcc\x20\xbd\xc7\xc6\xd0\xc7\xcf\xbf\xb4\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
const std::string kUploadFailed =  // 파일업로드중 실패하였습니다
    "\xc6\xc4\xc0\xcf\xbe\xf7\xb7\xce\xb5\xe5\xc1\xdf\x20\xbd\xc7\xc6\xd0\xc7\xcf\xbf\xb4\xbd\xc0\xb4\xcf\xb4\xd9";
const std::string kNotReceived =  // 민원인님의 질문이 접수되지 않았습니다. 다시 시도해 주십시오.
    "\xb9\xce\xbf\xf8\xc0\xce\xb4\xd4\xc0\xc7\x20\xc1\xfa\xb9\xae\xc0\xcc\x20\xc1\xa2\xbc\xf6\xb5\xc7\xc1\xf6\x20"
    "\xbe\xca\xbe\xd2\xbd\xc0\xb4\xcf\xb4\xd9\x2e\x20\xb4\xd9\xbd\xc3\x20\xbd\xc3\xb5\xb5\xc7\xd8\x20\xc1\xd6\xbd"
    "\xca\xbd\xc3\xbf\xc0\x2e";
const std::string kReportReceived =  // 정상적으로 접수되었습니다.
    "\xc1\xa4\xbb\xf3\xc0\xfb\xc0\xb8\xb7\xce\x20\xc1\xa2\xbc\xf6\xb5\xc7\xbe\xfa\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
const std::string kUpgrade =  // 새로운 버전으로 업그레이드 하십시오
    "\xbb\xf5\xb7\xce\xbf\xee\x20\xb9\xf6\xc0\xfc\xc0\xb8\xb7\xce\x20\xbe\xf7\xb1\xd7\xb7\xb9\xc0\xcc\xb5\xe5\x20\xc7"
    "\xcf\xbd\xca\xbd\xc3\xbf\xc0";
const std::string kVersionUnreachable =
    "\xbc\xad\xb9\xf6\xb7\xce\xc0\xc7\x20\xc1\xa2\xbc\xd3\xc0\xcc\x20\xbd\xc7\xc6\xd0\xc7\xcf\xbf\xa9\x20\xb9\xf6"
    "\xc0\xfc\xc1\xa4\xba\xb8\xb8\xa6\x20\xba\xd2\xb7\xaf\xbf\xc3\x20\xbc\xf6\x20\xbe\xf8\xbd\xc0\xb4\xcf\xb4\xd9"
    "\x2e\r\n"
    "\xc0\xce\xc5\xcd\xb3\xdd\xbf\xa1\x20\xbf\xac\xb0\xe1\xb5\xc7\xbe\xee\x20\xc0\xd6\xb4\xc2\xc1\xf6\x20\xc8\xae"
    "\xc0\xce\xc7\xcf\xb0\xed\n"
    "\xc7\xc1\xb7\xce\xb1\xd7\xb7\xa5\xc0\xbb\x20\xb4\xd9\xbd\xc3\x20\xbd\xc3\xc0\xdb\xc7\xd8\xc1\xd6\xbd\xc3\xb1"
    "\xe2\n"
    "\xb9\xd9\xb6\xf8\xb4\xcf\xb4\xd9\x2e";

TEST(ReportTexts, EveryTextIsItsCodePage949Bytes) {
  EXPECT_EQ(ReportTexts::Get(ReportTexts::kConnectFailed), kConnectFailed);
  EXPECT_EQ(ReportTexts::Get(ReportTexts::kSendFailed), kSendFailed);
  EXPECT_EQ(ReportTexts::Get(ReportTexts::kReportFailed), kSendFailed);
  EXPECT_EQ(ReportTexts::Get(ReportTexts::kRegistrationFailed), kRegistrationFailed);
  EXPECT_EQ(ReportTexts::Get(ReportTexts::kUploadFailed), kUploadFailed);
  EXPECT_EQ(ReportTexts::Get(ReportTexts::kNotReceived), kNotReceived);
  EXPECT_EQ(ReportTexts::Get(ReportTexts::kReportReceived), kReportReceived);
  EXPECT_EQ(ReportTexts::Get(ReportTexts::kUpgrade), kUpgrade);
  EXPECT_EQ(ReportTexts::Get(ReportTexts::kVersionUnreachable), kVersionUnreachable);
}

// Which message each failure of each exchange shows: by where it stopped.
TEST(ReportTexts, MessageOfEachFailure) {
  struct Row {
    NetError error;
    std::string upload, form, page;
  };
  const Row rows[] = {
      {NetError::kResolve, kConnectFailed, "", kConnectFailed},
      {NetError::kConnect, kConnectFailed, "", kConnectFailed},
      {NetError::kTimeout, kConnectFailed, "", kConnectFailed},
      {NetError::kCertificate, kConnectFailed, "", kConnectFailed},
      {NetError::kSend, kSendFailed, "", kSendFailed},
      {NetError::kReceive, kRegistrationFailed, "", kRegistrationFailed},
      {NetError::kHttpStatus, kRegistrationFailed, "", kRegistrationFailed},
      {NetError::kRefused, kUploadFailed, kNotReceived, kRegistrationFailed},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(NetErrorName(row.error));
    EXPECT_EQ(ReportTexts::ForUpload(row.error), row.upload);
    EXPECT_EQ(ReportTexts::ForForm(row.error), row.form);
    EXPECT_EQ(ReportTexts::ForPage(row.error), row.page);
  }
}

}  // namespace
}  // namespace veradex
