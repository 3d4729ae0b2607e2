#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>

#include "net/HttpExchange.h"
#include "support/BlackHolePort.h"
#include "support/LoopbackSocket.h"
#include "support/RecordingMessageSink.h"
#include "support/ReportCentreHarness.h"

namespace veradex {
namespace {

using Clock = std::chrono::steady_clock;
using test::TestCertificateAuthority;
using test::TestReportCentre;
using Answer = TestReportCentre::Answer;
using Fault = TestReportCentre::Fault;

constexpr int kTimeout = 1;  // seconds, for every exchange of these tests

// A loopback port nobody listens on: connecting is refused at once.
int ClosedPort() { return test::LoopbackSocket::ClosedPort(); }

enum class Exchange { kUpload, kForm, kPage };
enum class Server { kCentre, kRefusedPort, kBlackHole, kNoName };

struct FaultCase {
  const char* name;
  Exchange exchange;
  std::optional<NetError> error;  // none: the exchange succeeds
  Server server = Server::kCentre;
  std::function<void(TestReportCentre&)> arrange = nullptr;
  TestCertificateAuthority::LeafKind identity = TestCertificateAuthority::LeafKind::kValid;
  std::size_t uploadSize = 100;
  // Limits other than the time-outs of these tests.
  std::function<void(ServerConfig&)> configure = nullptr;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

// The centre answers `path` with `answer` changed by `change`.
std::function<void(TestReportCentre&)> Answering(const char* path, Answer answer,
                                                 std::function<void(Answer&)> change = nullptr) {
  return [=](TestReportCentre& centre) {
    Answer changed = answer;
    if (change) change(changed);
    centre.SetAnswer(path, changed);
  };
}

std::function<void(Answer&)> WithFault(Fault fault) {
  return [fault](Answer& answer) { answer.fault = fault; };
}

// The centre dribbles: the answer's bytes, or its reading of the upload, one
// per pause of `pause` milliseconds.
std::function<void(TestReportCentre&)> Trickling(const char* path, Answer answer, int pause) {
  return [=](TestReportCentre& centre) {
    centre.SetPauseMilliseconds(pause);
    centre.SetAnswer(path, answer);
  };
}

Answer Trickled(Answer answer) {
  answer.delivery = TestReportCentre::Delivery::kTrickle;
  return answer;
}

// Each single wait is short, so only the exchange's own limits can end it
// early: the answer within half a second, or a kilobyte of the upload in
// every half second (with a long wait per write).
void ShortAnswerLimit(ServerConfig& config) { config.answerLimit = std::chrono::milliseconds(500); }
void ShortSendWindow(ServerConfig& config) {
  config.receiveTimeout = 30;
  config.sendWindow = std::chrono::milliseconds(500);
}

class NetFault : public ::testing::TestWithParam<FaultCase> {
 protected:
  NetResult<void> Run(const FaultCase& c, test::ReportCentreHarness& harness) {
    ServerConfig config = harness.Config();
    if (c.configure) c.configure(config);
    ServerAddress& server = c.exchange == Exchange::kPage ? config.version : config.report;
    std::unique_ptr<test::BlackHolePort> hole;
    switch (c.server) {
      case Server::kCentre:
        break;
      case Server::kRefusedPort:
        server.port = ClosedPort();
        break;
      case Server::kBlackHole:
        hole = std::make_unique<test::BlackHolePort>();
        server.host = "127.0.0.1";
        server.port = hole->Port();
        break;
      case Server::kNoName:
        server.host.clear();
        break;
    }
    switch (c.exchange) {
      case Exchange::kUpload: {
        test::RecordingMessageSink sink;
        MultipartBody body;
        body.AddPart(-1)->LoadFile("attach", harness.Temp().Write("u.eml", std::string(c.uploadSize, 'u')), "u.eml",
                                   sink);
        const auto result =
            HttpExchange::PostMultipart(body, server, TestReportCentre::kUploadPath, nullptr, "", config);
        if (!result) return result.Failure();
        return {};
      }
      case Exchange::kForm:
        return HttpExchange::PostForm("&a=1", server, TestReportCentre::kFormPath, "", config);
      case Exchange::kPage: {
        const auto result = HttpExchange::QueryPage(server, TestReportCentre::kVersionPath, config);
        if (!result) return result.Failure();
        return {};
      }
    }
    return {};
  }
};

// Each way a server fails comes back as its error, within the time-out and a
// second more, and nothing is printed to standard output.
TEST_P(NetFault, EndsWithItsError) {
  const FaultCase& c = GetParam();
  test::ReportCentreHarness harness(c.identity, kTimeout);
  if (c.arrange) c.arrange(harness.Centre());

  ::testing::internal::CaptureStdout();
  const auto start = Clock::now();
  const NetResult<void> result = Run(c, harness);
  const auto elapsed = Clock::now() - start;
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_LT(elapsed, std::chrono::seconds(kTimeout + 1));
  if (!c.error) {
    EXPECT_TRUE(result.Ok()) << result.Describe();
    return;
  }
  ASSERT_FALSE(result.Ok());
  EXPECT_EQ(result.Error(), *c.error) << result.Describe();
  if (c.error == NetError::kTimeout) {
    EXPECT_GE(elapsed, std::chrono::milliseconds(900));
  }
}

const auto kUpload = TestReportCentre::kUploadPath;
const auto kForm = TestReportCentre::kFormPath;
const auto kPage = TestReportCentre::kVersionPath;

INSTANTIATE_TEST_SUITE_P(
    Faults, NetFault,
    ::testing::Values(
        // No connection.
        FaultCase{"RefusedPort", Exchange::kUpload, NetError::kConnect, Server::kRefusedPort},
        FaultCase{"RefusedPortForm", Exchange::kForm, NetError::kConnect, Server::kRefusedPort},
        FaultCase{"BlackHoledPort", Exchange::kUpload, NetError::kTimeout, Server::kBlackHole},
        FaultCase{"NoHostName", Exchange::kPage, NetError::kResolve, Server::kNoName},
        FaultCase{"StalledHandshake", Exchange::kUpload, NetError::kTimeout, Server::kCentre,
                  [](TestReportCentre& centre) { centre.SetStallHandshake(true); }},
        FaultCase{"BadCertificate", Exchange::kPage, NetError::kCertificate, Server::kCentre, nullptr,
                  TestCertificateAuthority::LeafKind::kSelfSigned},
        // The request does not go out.
        FaultCase{"ResetMidUpload", Exchange::kUpload, NetError::kSend, Server::kCentre,
                  Answering(kUpload, Answer::UploadAccepted(), WithFault(Fault::kResetMidUpload)),
                  TestCertificateAuthority::LeafKind::kValid, 8 << 20},
        // A server that stops reading: the writes wait at most the time-out.
        FaultCase{"StallMidUpload", Exchange::kUpload, NetError::kSend, Server::kCentre,
                  Answering(kUpload, Answer::UploadAccepted(), WithFault(Fault::kStallMidUpload)),
                  TestCertificateAuthority::LeafKind::kValid, 8 << 20},
        // No usable answer.
        FaultCase{"StallBeforeHead", Exchange::kUpload, NetError::kReceive, Server::kCentre,
                  Answering(kUpload, Answer::UploadAccepted(), WithFault(Fault::kStallBeforeHead))},
        FaultCase{"StallBeforeHeadPage", Exchange::kPage, NetError::kReceive, Server::kCentre,
                  Answering(kPage, Answer::VersionPage("ver:5.3|"), WithFault(Fault::kStallBeforeHead))},
        FaultCase{"StallBeforeHeadForm", Exchange::kForm, NetError::kReceive, Server::kCentre,
                  Answering(kForm, Answer::FormReceived(), WithFault(Fault::kStallBeforeHead))},
        FaultCase{"CloseBeforeStatus", Exchange::kUpload, NetError::kReceive, Server::kCentre,
                  Answering(kUpload, Answer::UploadAccepted(), WithFault(Fault::kCloseBeforeStatus))},
        FaultCase{"CloseBeforeStatusForm", Exchange::kForm, NetError::kReceive, Server::kCentre,
                  Answering(kForm, Answer::FormReceived(), WithFault(Fault::kCloseBeforeStatus))},
        FaultCase{"CookieLineCutOff", Exchange::kUpload, NetError::kReceive, Server::kCentre,
                  Answering(kUpload, Answer(), [](Answer& a) { a.raw = "HTTP/1.1 200 OK\r\nSet-Cookie: a=b"; })},
        // The head said 200 and set the cookie: the missing body only costs the wait.
        FaultCase{"StallAfterHead", Exchange::kUpload, std::nullopt, Server::kCentre,
                  Answering(kUpload, Answer::UploadAccepted(), WithFault(Fault::kStallAfterHead))},
        // A server that dribbles: its answer (one byte per 100 ms), or its
        // reading of the upload (a kilobyte per second), ends at the
        // exchange's limits, as a time-out there would. A head cut off
        // never counts as an answer.
        FaultCase{"TrickledAnswer", Exchange::kUpload, NetError::kHttpStatus, Server::kCentre,
                  Trickling(kUpload, Trickled(Answer::UploadAccepted()), 100),
                  TestCertificateAuthority::LeafKind::kValid, 100, ShortAnswerLimit},
        FaultCase{"TrickledAnswerForm", Exchange::kForm, NetError::kReceive, Server::kCentre,
                  Trickling(kForm, Trickled(Answer::FormReceived()), 100), TestCertificateAuthority::LeafKind::kValid,
                  100, ShortAnswerLimit},
        FaultCase{"TrickledAnswerPage", Exchange::kPage, NetError::kHttpStatus, Server::kCentre,
                  Trickling(kPage, Trickled(Answer::VersionPage("ver:5.3|")), 100),
                  TestCertificateAuthority::LeafKind::kValid, 100, ShortAnswerLimit},
        FaultCase{"TrickleReadUpload", Exchange::kUpload, NetError::kSend, Server::kCentre,
                  Trickling(
                      kUpload,
                      [] {
                        Answer answer = Answer::UploadAccepted();
                        answer.fault = Fault::kTrickleReadUpload;
                        return answer;
                      }(),
                      1000),
                  TestCertificateAuthority::LeafKind::kValid, 8 << 20, ShortSendWindow},
        // Answers that never make a whole head, or never end.
        FaultCase{"LongHead", Exchange::kUpload, NetError::kReceive, Server::kCentre,
                  Answering(kUpload, Answer(),
                            [](Answer& a) { a.raw = "HTTP/1.1 200 OK\r\nX-Pad: " + std::string(1 << 20, 'p'); })},
        FaultCase{"LongHeadPage", Exchange::kPage, NetError::kReceive, Server::kCentre,
                  Answering(kPage, Answer(),
                            [](Answer& a) {
                              a.raw = "HTTP/1.1 200 OK\r\nX-Pad: " + std::string(1 << 20, '|') + "ver:9.9|";
                            })},
        FaultCase{"GarbageForm", Exchange::kForm, NetError::kReceive, Server::kCentre,
                  Answering(kForm, Answer(), [](Answer& a) { a.raw = std::string("\x16\x03garbage\0\xff", 12); })},
        FaultCase{"EndlessBodyForm", Exchange::kForm, NetError::kReceive, Server::kCentre,
                  Answering(kForm, Answer::FormReceived(), WithFault(Fault::kEndlessBody))},
        FaultCase{"TlsAlert", Exchange::kUpload, NetError::kReceive, Server::kCentre,
                  Answering(kUpload, Answer::UploadAccepted(), WithFault(Fault::kTlsAlert))},
        FaultCase{"TlsAlertForm", Exchange::kForm, NetError::kReceive, Server::kCentre,
                  Answering(kForm, Answer::FormReceived(), WithFault(Fault::kTlsAlert))},
        // The server says no.
        FaultCase{"ServerError", Exchange::kUpload, NetError::kHttpStatus, Server::kCentre,
                  Answering(kUpload, Answer::UploadAccepted(),
                            [](Answer& a) { a.statusLine = "HTTP/1.1 500 Internal Server Error"; })},
        FaultCase{"Http10", Exchange::kUpload, NetError::kHttpStatus, Server::kCentre,
                  Answering(kUpload, Answer::UploadAccepted(), [](Answer& a) { a.statusLine = "HTTP/1.0 200 OK"; })},
        FaultCase{"MissingPage", Exchange::kPage, NetError::kHttpStatus, Server::kCentre,
                  Answering(kPage, Answer::VersionPage("ver:5.3|"),
                            [](Answer& a) { a.statusLine = "HTTP/1.1 404 Not Found"; })},
        FaultCase{"UploadRefused", Exchange::kUpload, NetError::kRefused, Server::kCentre,
                  Answering(kUpload, Answer::UploadFailed())},
        FaultCase{"ReportNotReceived", Exchange::kForm, NetError::kRefused, Server::kCentre,
                  Answering(kForm, Answer::FormNotReceived())}),
    [](const ::testing::TestParamInfo<FaultCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace veradex
