#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

#include "net/HttpExchange.h"
#include "support/RecordingMessageSink.h"
#include "support/ReportCentreHarness.h"

namespace veradex {
namespace {

using test::TestReportCentre;
using Answer = TestReportCentre::Answer;

const std::string kAccept =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-powerpoint, "
    "application/vnd.ms-excel, application/msword, application/x-shockwave-flash, */*\r\n";

class RecordingObserver : public TransferObserver {
 public:
  void OnProgress(int position) override {
    std::lock_guard<std::mutex> lock(mutex_);
    positions_.push_back(position);
  }
  std::vector<int> Positions() {
    std::lock_guard<std::mutex> lock(mutex_);
    return positions_;
  }

 private:
  std::mutex mutex_;
  std::vector<int> positions_;
};

std::vector<int> OneTo(int last) {
  std::vector<int> positions;
  for (int i = 1; i <= last; ++i) positions.push_back(i);
  positions.push_back(100);
  return positions;
}

class HttpExchangeTest : public ::testing::Test {
 protected:
  // Uploads `content` as "SPM_0101_00_AB.eml" and returns the cookie, or
  // "failed: <error>".
  std::string Upload(const std::string& content, const std::string& cookie = "",
                     RecordingObserver* observer = nullptr) {
    MultipartBody body;
    body.AddPart(-1)->LoadFile("attach", harness.Temp().Write("upload.eml", content), "SPM_0101_00_AB.eml", sink);
    const NetResult<std::string> result = HttpExchange::PostMultipart(
        body, harness.Config().report, TestReportCentre::kUploadPath, observer, cookie, harness.Config());
    return result ? result.Value() : std::string("failed: ") + NetErrorName(result.Error());
  }
  bool Form(const std::string& formText, const std::string& cookie = "") {
    return HttpExchange::PostForm(formText, harness.Config().report, TestReportCentre::kFormPath, cookie,
                                  harness.Config())
        .Ok();
  }
  std::string Page(const std::string& path = TestReportCentre::kVersionPath) {
    const NetResult<std::string> result = HttpExchange::QueryPage(harness.Config().version, path, harness.Config());
    return result ? result.Value() : std::string("failed: ") + NetErrorName(result.Error());
  }

  test::ReportCentreHarness harness;
  TestReportCentre& centre = harness.Centre();
  test::RecordingMessageSink sink;
};

TEST_F(HttpExchangeTest, UploadGoesOutByteForByte) {
  const std::string content = std::string("Subject: spam\r\n\r\n\x00\xff", 19) + std::string(3000, 'x');
  EXPECT_EQ(Upload(content), " JSESSIONID=centre1");

  const std::string part =
      "-----------------------------7d32231303e8\r\n"
      "Content-Disposition: form-data; name=\"attach\"; filename=\"SPM_0101_00_AB.eml\"\r\n"
      "Content-Type: application/octet-stream\r\n\r\n" +
      content + "\r\n-----------------------------7d32231303e8--\r\n";
  ASSERT_EQ(part.size(), 163u + content.size() + 2 + 45);  // H + L + 2 + 45
  const std::string expected = "POST /attach_query/attach.jsp HTTP/1.1\r\n" + kAccept +
                               "Accept-Language: ko,en-us;q=0.5\r\n"
                               "Content-Type: multipart/form-data; boundary=---------------------------7d32231303e8\r\n"
                               "Accept-Encoding: gzip, deflate\r\n"
                               "User-Agent: Veradex3.1\r\n"
                               "Host: localhost\r\n"
                               "Content-Length: 3229\r\n"
                               "Connection: Keep-Alive\r\n"
                               "Cache-Control: no-cache\r\n\r\n" +
                               part;
  const auto requests = centre.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].bytes, expected);

  // A cookie goes in right before the content type, with its leading blank.
  EXPECT_EQ(Upload("x", " a=b"), " JSESSIONID=centre1");
  EXPECT_NE(centre.Requests().back().Head().find("Accept-Language: ko,en-us;q=0.5\r\nCookie:  a=b\r\nContent-Type: "),
            std::string::npos);
}

TEST_F(HttpExchangeTest, FormGoesOutByteForByteWithoutItsFirstAmpersand) {
  EXPECT_TRUE(Form("&a=1&b=2"));
  EXPECT_TRUE(Form("&q=%B0%A1", " a=b"));
  const auto requests = centre.Requests();
  ASSERT_EQ(requests.size(), 2u);
  const std::string tail =
      "Accept-Encoding: gzip, deflate\r\n"
      "User-Agent: Veradex2.0\r\n"
      "Host: localhost\r\n";
  EXPECT_EQ(requests[0].bytes, "POST /common/input_1.jsp HTTP/1.1\r\n" + kAccept +
                                   "Accept-Language: ko,en-us;q=0.5\r\n"
                                   "Content-Type: application/x-www-form-urlencoded\r\n" +
                                   tail +
                                   "Content-Length: 7\r\n"
                                   "Connection: Keep-Alive\r\n"
                                   "Cache-Control: no-cache\r\n\r\n"
                                   "a=1&b=2");
  EXPECT_NE(requests[1].bytes.find("\r\nCookie:  a=b\r\nContent-Type: application/x-www-form-urlencoded\r\n"),
            std::string::npos);
  EXPECT_TRUE(requests[1].HasHeader("Content-Length: 8"));
  EXPECT_EQ(requests[1].Body(), "q=%B0%A1");
}

TEST_F(HttpExchangeTest, ProgressNoticesFollowTheHundredthsOfTheLength) {
  RecordingObserver small;
  EXPECT_EQ(Upload(std::string(100 * 1024, 's'), "", &small), " JSESSIONID=centre1");
  EXPECT_EQ(small.Positions(), OneTo(50));  // step 1026: a notice every second kilobyte

  RecordingObserver large;
  EXPECT_EQ(Upload(std::string(2 * 1024 * 1024, 'l'), "", &large), " JSESSIONID=centre1");
  EXPECT_EQ(large.Positions(), OneTo(97));  // step 20973: a notice every 21 kilobytes

  RecordingObserver tiny;  // below 1024 bytes: the remainder chunk gives no notice
  EXPECT_EQ(Upload("tiny", "", &tiny), " JSESSIONID=centre1");
  EXPECT_EQ(tiny.Positions(), std::vector<int>{100});
  EXPECT_EQ(centre.RequestsTo(TestReportCentre::kUploadPath)[1].Body().size(), 163u + 2 * 1024 * 1024 + 2 + 45);
}

TEST_F(HttpExchangeTest, CookieIsCapturedUpToItsFirstTerminator) {
  centre.SetAnswers(TestReportCentre::kUploadPath,
                    {Answer::UploadAccepted(" a=b; Path=/"), Answer::UploadAccepted("c=d\r"),
                     Answer::UploadAccepted(""), Answer::UploadAccepted(" JSESSIONID=split")});
  EXPECT_EQ(Upload("1"), " a=b");
  EXPECT_EQ(Upload("2"), "c=d");
  EXPECT_EQ(Upload("3"), "");  // no cookie, no failure text: accepted

  // The cookie line arriving in later TLS records than the status line.
  for (const auto delivery :
       {TestReportCentre::Delivery::kTinyTlsRecords, TestReportCentre::Delivery::kHeadBytePerSegment}) {
    Answer answer = Answer::UploadAccepted(" JSESSIONID=split; Path=/");
    answer.delivery = delivery;
    centre.SetAnswer(TestReportCentre::kUploadPath, answer);
    EXPECT_EQ(Upload("4"), " JSESSIONID=split");
  }
}

TEST_F(HttpExchangeTest, UploadFailureTextInALaterRecordIsStillFound) {
  Answer failureInLaterRecord = Answer::UploadFailed();
  failureInLaterRecord.delivery = TestReportCentre::Delivery::kHeadThenBody;
  centre.SetPauseMilliseconds(50);
  centre.SetAnswer(TestReportCentre::kUploadPath, failureInLaterRecord);
  EXPECT_EQ(Upload("x"), "failed: refused");
}

TEST_F(HttpExchangeTest, FormVerdicts) {
  Answer neither = Answer::UploadAccepted("");
  Answer splitReceived = Answer::FormReceived();
  splitReceived.delivery = TestReportCentre::Delivery::kSplitBody;
  splitReceived.splitAt = splitReceived.body.find('\xc1') + 3;  // inside the verdict text
  Answer splitNotReceived = Answer::FormNotReceived();
  splitNotReceived.delivery = TestReportCentre::Delivery::kSplitBody;
  splitNotReceived.splitAt = splitNotReceived.body.find('\xc1') + 5;
  Answer keptOpen = Answer::UploadAccepted("");
  keptOpen.keepOpen = true;
  centre.SetAnswers(TestReportCentre::kFormPath, {Answer::FormReceived(), Answer::FormNotReceived(), neither,
                                                  splitReceived, splitNotReceived, keptOpen});

  EXPECT_TRUE(Form("&a=1"));
  EXPECT_FALSE(Form("&a=2"));
  EXPECT_TRUE(Form("&a=3"));
  EXPECT_TRUE(Form("&a=4"));
  EXPECT_FALSE(Form("&a=5"));
  // Complete by its length: no wait for the connection to end. A waiting
  // exchange would sit out the long time-out; a slow machine stays well below.
  harness.MutableConfig().receiveTimeout = 30;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(Form("&a=6"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
}

TEST_F(HttpExchangeTest, PageBodyFromOneOrTwoReads) {
  Answer separate = Answer::VersionPage("ver:5.4|");
  separate.delivery = TestReportCentre::Delivery::kHeadThenBody;
  centre.SetPauseMilliseconds(50);
  centre.SetAnswers(TestReportCentre::kVersionPath,
                    {Answer::VersionPage("ver:5.3|"), separate, Answer::VersionPage(std::string(600, 'v'))});
  EXPECT_EQ(Page(), "ver:5.3|");
  EXPECT_EQ(Page(), "ver:5.4|");
  EXPECT_EQ(Page(), std::string(511, 'v'));

  const auto request = centre.RequestsTo(TestReportCentre::kVersionPath)[0];
  EXPECT_TRUE(request.HasHeader("Content-Length: 0"));
  EXPECT_TRUE(request.HasHeader("User-Agent: Veradex3.1"));
  EXPECT_EQ(request.Body(), "");
}

TEST(HttpExchangeParsing, StatusCodeAndContentLength) {
  EXPECT_EQ(HttpExchange::StatusCode("HTTP/1.1 200 OK\r\n"), 200);
  EXPECT_EQ(HttpExchange::StatusCode("HTTP/1.0 \t 404 Not Found"), 404);
  EXPECT_EQ(HttpExchange::StatusCode("HTTP/1.1 OK"), 0);
  EXPECT_EQ(HttpExchange::StatusCode("garbage"), -1);
  EXPECT_EQ(HttpExchange::StatusCode(""), -1);
  EXPECT_EQ(HttpExchange::ContentLengthOf("HTTP/1.1 200 OK\r\nContent-Length:   42\r\n\r\n"), 42);
  EXPECT_EQ(HttpExchange::ContentLengthOf("HTTP/1.1 200 OK\r\ncontent-length: 42\r\n\r\n"), -1);
  EXPECT_EQ(HttpExchange::ContentLengthOf("HTTP/1.1 200 OK\r\n\r\n"), -1);
}

}  // namespace
}  // namespace veradex
