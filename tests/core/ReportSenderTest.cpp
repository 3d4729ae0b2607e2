#include <gtest/gtest.h>

#include <future>
#include <regex>
#include <thread>

#include "report/ReportSender.h"
#include "report/ReportTexts.h"
#include "support/RecordingReportObserver.h"
#include "support/ReportCentreHarness.h"

namespace veradex {
namespace {

using test::TestReportCentre;
using Answer = TestReportCentre::Answer;

const std::string kReceived = ReportTexts::Get(ReportTexts::kReportReceived);  // 정상적으로 접수되었습니다.
const std::string kFailed = ReportTexts::Get(ReportTexts::kReportFailed);      // 전송이 실패했습니다.
// 등록이 실패하였습니다.
const std::string kRegistrationFailed =
    "\xb5\xee\xb7\xcf\xc0\xcc\x20\xbd\xc7\xc6\xd0\xc7\xcf\xbf\xb4\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
// 민원인님의 질문이 접수되지 않았습니다. 다시 시도해 주십시오.
const std::string kNotReceived =
    "\xb9\xce\xbf\xf8\xc0\xce\xb4\xd4\xc0\xc7\x20\xc1\xfa\xb9\xae\xc0\xcc\x20\xc1\xa2\xbc\xf6\xb5\xc7\xc1\xf6\x20"
    "\xbe\xca\xbe\xd2\xbd\xc0\xb4\xcf\xb4\xd9\x2e\x20\xb4\xd9\xbd\xc3\x20\xbd\xc3\xb5\xb5\xc7\xd8\x20\xc1\xd6\xbd"
    "\xca\xbd\xc3\xbf\xc0\x2e";

const std::vector<std::string> kCompletedSuccess = {"message:" + kReceived, "clean", "ended sending=1",
                                                    "cleared sending=0", "count"};
// A failed run says so and ends no more than `sending`: the window keeps the
// description and the rows for another try.
const std::vector<std::string> kFailure = {"message:" + kFailed};

// The file name announced in an upload's part header.
std::string UploadedName(const TestReportCentre::Request& upload) {
  static const std::regex pattern("filename=\"([^\"]*)\"");
  std::smatch match;
  const std::string body = upload.Body();
  return std::regex_search(body, match, pattern) ? match[1].str() : std::string();
}

class ReportSenderTest : public ::testing::Test {
 protected:
  ReportForm Form(int attachments, const std::string& extension = "eml") {
    ReportForm form;
    form.name = "\xC8\xAB\xB1\xE6\xB5\xBF";  // 홍길동
    form.email = "hong@example.kr";
    form.tel1 = "02";
    form.tel2 = "123";
    form.tel3 = "4567";
    form.content = "\xBD\xBA\xC6\xD4 test\r\nline2";  // 스팸
    form.password = "pw!1";
    for (int i = 0; i < attachments; ++i) {
      const std::string name = "mail" + std::to_string(i) + "." + extension;
      form.attachmentPaths.push_back(harness.Temp().Write(name, "Subject: " + std::to_string(i) + "\r\n\r\nspam"));
    }
    return form;
  }
  void Send(const ReportForm& form) {
    sending = true;
    ReportSender(form, observer, harness.Config()).Run(sending);
    EXPECT_FALSE(sending);
  }

  test::ReportCentreHarness harness;
  TestReportCentre& centre = harness.Centre();
  std::atomic<bool> sending{false};
  test::RecordingReportObserver observer{&sending};
};

TEST_F(ReportSenderTest, OneAttachmentMakesOneUploadAndOneReport) {
  const ReportForm form = Form(1);
  Send(form);
  EXPECT_EQ(observer.Milestones(), kCompletedSuccess);
  ASSERT_FALSE(observer.Progress().empty());
  EXPECT_EQ(observer.Progress().back(), 100);

  const auto requests = centre.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].Path(), TestReportCentre::kUploadPath);
  EXPECT_EQ(requests[1].Path(), TestReportCentre::kFormPath);
  const std::string name = UploadedName(requests[0]);
  EXPECT_TRUE(std::regex_match(name, std::regex("SPM_[0-9]{4}_[0-9]{2}_[0-9A-F]{2,4}\\.eml"))) << name;
  EXPECT_NE(requests[0].Body().find("name=\"attach\"; filename=\"" + name + "\"\r\n"), std::string::npos);
  EXPECT_NE(requests[0].Body().find("\r\n\r\nSubject: 0\r\n\r\nspam\r\n"), std::string::npos);
  EXPECT_EQ(requests[0].Head().find("Cookie:"), std::string::npos);

  EXPECT_EQ(requests[1].Body(),
            "ret_url=..%2Fminwon%2Flist.jsp&queryid=null&q_type=1&name=%C8%AB%B1%E6%B5%BF&email=hong%40example.kr"
            "&tel=02-123-4567&content=%BD%BA%C6%D4%20test%0D%0Aline2&filename=" +
                name + "&pwd=pw%211&channel=SPM&menu=1&agree1=1");
  EXPECT_TRUE(requests[1].HasHeader("Cookie:  JSESSIONID=centre1"));
}

TEST_F(ReportSenderTest, EveryAttachmentIsItsOwnReport) {
  for (const int count : {3, 5}) {
    centre.ClearRecords();
    Send(Form(count, count == 3 ? "MSG" : "eml"));
    EXPECT_EQ(observer.Milestones().back(), "count");

    const auto uploads = centre.RequestsTo(TestReportCentre::kUploadPath);
    const auto reports = centre.RequestsTo(TestReportCentre::kFormPath);
    ASSERT_EQ(uploads.size(), static_cast<std::size_t>(count));
    ASSERT_EQ(reports.size(), static_cast<std::size_t>(count));
    const auto requests = centre.Requests();
    for (int i = 0; i < count; ++i) {
      // Upload, then the report naming it, attachment by attachment.
      EXPECT_EQ(requests[2 * i].Path(), TestReportCentre::kUploadPath);
      EXPECT_EQ(requests[2 * i + 1].Path(), TestReportCentre::kFormPath);
      const std::string name = UploadedName(requests[2 * i]);
      EXPECT_NE(requests[2 * i].Body().find("Subject: " + std::to_string(i) + "\r\n"), std::string::npos);
      EXPECT_NE(requests[2 * i + 1].Body().find("&filename=" + name + "&pwd="), std::string::npos);
      // Month, day and seconds are the run's: names differ in the random
      // field only, at most four hexadecimal digits.
      EXPECT_EQ(name.substr(0, 12), UploadedName(requests[0]).substr(0, 12));
      EXPECT_TRUE(std::regex_match(name, std::regex("SPM_[0-9]{4}_[0-9]{2}_[0-9A-F]{2,4}\\.(eml|MSG)"))) << name;
      EXPECT_EQ(name.substr(name.size() - 4), count == 3 ? ".MSG" : ".eml");
    }
  }
}

TEST_F(ReportSenderTest, FirstCookieSetIsKeptForTheRun) {
  centre.SetAnswers(TestReportCentre::kUploadPath,
                    {Answer::UploadAccepted(""), Answer::UploadAccepted(" second=2; Path=/"),
                     Answer::UploadAccepted(" third=3; Path=/")});
  Send(Form(3));
  const auto reports = centre.RequestsTo(TestReportCentre::kFormPath);
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[0].Head().find("Cookie:"), std::string::npos);
  EXPECT_TRUE(reports[1].HasHeader("Cookie:  second=2"));
  EXPECT_TRUE(reports[2].HasHeader("Cookie:  second=2"));
  for (const auto& upload : centre.RequestsTo(TestReportCentre::kUploadPath)) {
    EXPECT_EQ(upload.Head().find("Cookie:"), std::string::npos);
  }
}

TEST_F(ReportSenderTest, TheLastVerdictDecidesTheMessageAndOnlyUnreceivedRowsStay) {
  using Verdicts = std::vector<Answer>;
  const Answer yes = Answer::FormReceived(), no = Answer::FormNotReceived();
  const std::string remain1 = ReportSender::RemainText(1), remain2 = ReportSender::RemainText(2);
  const struct {
    Verdicts verdicts;
    std::vector<std::string> milestones;
  } cases[] = {
      // Every report received: the normal end.
      {{yes, yes}, kCompletedSuccess},
      // None received: the failure, and everything stays.
      {{no, no}, {"message:" + kNotReceived, "message:" + kNotReceived, "message:" + kFailed}},
      // Partly refused: the closing message follows the last verdict, then
      // the received rows go and the rest stay with the description.
      {{no, yes},
       {"message:" + kNotReceived, "message:" + kReceived, "message:" + remain1, "received:1 sending=1", "count"}},
      {{yes, no},
       {"message:" + kNotReceived, "message:" + kFailed, "message:" + remain1, "received:0 sending=1", "count"}},
      {{yes, no, yes},
       {"message:" + kNotReceived, "message:" + kReceived, "message:" + remain1, "received:0,2 sending=1", "count"}},
      {{no, yes, no},
       {"message:" + kNotReceived, "message:" + kNotReceived, "message:" + kFailed, "message:" + remain2,
        "received:1 sending=1", "count"}},
  };
  for (const auto& c : cases) {
    centre.ClearRecords();
    centre.SetAnswers(TestReportCentre::kFormPath, c.verdicts);
    test::RecordingReportObserver recorded(&sending);
    sending = true;
    ReportSender(Form(static_cast<int>(c.verdicts.size())), recorded, harness.Config()).Run(sending);
    EXPECT_FALSE(sending);
    EXPECT_EQ(recorded.Milestones(), c.milestones);
    EXPECT_EQ(centre.RequestsTo(TestReportCentre::kFormPath).size(), c.verdicts.size());
  }
}

TEST_F(ReportSenderTest, FailedUploadStopsTheRunAndKeepsWhatWasNotReceived) {
  Answer http10 = Answer::UploadAccepted();
  http10.statusLine = "HTTP/1.0 200 OK";
  // The first upload fails: only its own message, no end events.
  centre.SetAnswers(TestReportCentre::kUploadPath, {http10});
  Send(Form(3));
  EXPECT_EQ(observer.Milestones(), std::vector<std::string>{"message:" + kRegistrationFailed});

  // The second fails: the first, already received, must not go out again.
  centre.ClearRecords();
  centre.SetAnswers(TestReportCentre::kUploadPath, {Answer::UploadAccepted(), http10});
  test::RecordingReportObserver second(&sending);
  sending = true;
  ReportSender(Form(3), second, harness.Config()).Run(sending);
  EXPECT_FALSE(sending);
  EXPECT_EQ(second.Milestones(),
            (std::vector<std::string>{"message:" + kRegistrationFailed, "message:" + ReportSender::RemainText(2),
                                      "received:0 sending=1", "count"}));
  EXPECT_EQ(centre.RequestsTo(TestReportCentre::kUploadPath).size(), 2u);
  EXPECT_EQ(centre.RequestsTo(TestReportCentre::kFormPath).size(), 1u);
}

TEST_F(ReportSenderTest, UnreadableAttachmentStopsTheRunWithItsMessage) {
  ReportForm form = Form(2);
  form.attachmentPaths[1] = harness.Temp().File("vanished.eml");
  Send(form);
  // 파일 열기 실패: <path>; the first attachment's report was received.
  EXPECT_EQ(observer.Milestones(),
            (std::vector<std::string>{
                "message:\xc6\xc4\xc0\xcf\x20\xbf\xad\xb1\xe2\x20\xbd\xc7\xc6\xd0\x3a\x20" + form.attachmentPaths[1],
                "message:" + ReportSender::RemainText(1), "received:0 sending=1", "count"}));
  EXPECT_EQ(centre.RequestsTo(TestReportCentre::kUploadPath).size(), 1u);
}

TEST_F(ReportSenderTest, NoAttachmentIsAFailedReport) {
  Send(Form(0));
  EXPECT_EQ(observer.Milestones(), kFailure);
  EXPECT_EQ(centre.ConnectionsAccepted(), 0);
}

// The observer must outlive the worker: wait until its thread has let go of it.
bool WorkersBackTo(int count) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (ReportSender::RunningWorkers() != count && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return ReportSender::RunningWorkers() == count;
}

TEST_F(ReportSenderTest, StartRunsTheReportOnItsOwnThread) {
  const int before = ReportSender::RunningWorkers();
  sending = true;
  ASSERT_TRUE(ReportSender::Start(Form(1), observer, harness.Config(), sending));
  ASSERT_TRUE(observer.WaitFor("count", 10000));
  ASSERT_TRUE(WorkersBackTo(before));
  EXPECT_FALSE(sending);
  EXPECT_NE(observer.LastThread(), std::this_thread::get_id());
  EXPECT_EQ(observer.Milestones(), kCompletedSuccess);
}

// Holds the worker in its closing message until released.
class HeldObserver : public test::RecordingReportObserver {
 public:
  using RecordingReportObserver::RecordingReportObserver;
  int ShowMessage(const std::string& text, unsigned style) override {
    shown.set_value();
    release.get_future().wait();
    return RecordingReportObserver::ShowMessage(text, style);
  }
  std::promise<void> shown;
  std::promise<void> release;
};

TEST_F(ReportSenderTest, AStartedWorkerCountsAsRunningUntilItsThreadEnds) {
  const int before = ReportSender::RunningWorkers();
  HeldObserver held(&sending);
  std::future<void> shown = held.shown.get_future();
  sending = true;
  ASSERT_TRUE(ReportSender::Start(Form(1), held, harness.Config(), sending));
  ASSERT_EQ(shown.wait_for(std::chrono::seconds(30)), std::future_status::ready);
  EXPECT_EQ(ReportSender::RunningWorkers(), before + 1);
  held.release.set_value();
  ASSERT_TRUE(held.WaitFor("count", 10000));
  EXPECT_TRUE(WorkersBackTo(before));
}

TEST(ReportSenderNames, ServerFileNameFormat) {
  EXPECT_EQ(ReportSender::ServerFileName(3, 3, 7, 419, "eml"), "SPM_0303_07_1A3.eml");
  EXPECT_EQ(ReportSender::ServerFileName(12, 31, 59, 10, "eml"), "SPM_1231_59_0A.eml");
  EXPECT_EQ(ReportSender::ServerFileName(1, 1, 0, 0, "MSG"), "SPM_0101_00_00.MSG");
  EXPECT_EQ(ReportSender::ServerFileName(1, 1, 0, 4096, "eml"), "SPM_0101_00_1000.eml");
  EXPECT_EQ(ReportSender::ServerFileName(1, 1, 0, 0x7FFF, "eml"), "SPM_0101_00_7FFF.eml");
}

}  // namespace
}  // namespace veradex
