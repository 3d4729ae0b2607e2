#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/ssl.h>

#include <chrono>

#include "net/HttpConnection.h"
#include "net/HttpExchange.h"
#include "support/BlackHolePort.h"
#include "support/RecordingMessageSink.h"
#include "support/ReportCentreHarness.h"

namespace veradex {
namespace {

using Clock = std::chrono::steady_clock;
using test::TestCertificateAuthority;
using test::TestReportCentre;
using Answer = TestReportCentre::Answer;

const std::string kConnectFailed =
    "\xbc\xad\xb9\xf6\x20\xbf\xac\xb0\xe1\xbf\xa1\x20\xbd\xc7\xc6\xd0\x20\xc7\xcf\xbf\xb4\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
const std::string kSendFailed = "\xc0\xfc\xbc\xdb\xc0\xcc\x20\xbd\xc7\xc6\xd0\xc7\xdf\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
const std::string kRegistrationFailed =
    "\xb5\xee\xb7\xcf\xc0\xcc\x20\xbd\xc7\xc6\xd0\xc7\xcf\xbf\xb4\xbd\xc0\xb4\xcf\xb4\xd9\x2e";

constexpr int kTimeout = 1;  // seconds, for every exchange of these tests
// Every stalled exchange must end within its time-out and one second more.
constexpr auto kBound = std::chrono::seconds(kTimeout + 1);

std::string Upload(test::ReportCentreHarness& harness, test::RecordingMessageSink& sink, std::size_t size,
                   const std::string& host = "localhost") {
  MultipartBody body;
  body.AddPart(-1)->LoadFile("attach", harness.Temp().Write("u.eml", std::string(size, 'u')), "u.eml", sink);
  ServerAddress server = harness.Config().report;
  server.host = host;
  return HttpExchange::PostMultipart(body, server, TestReportCentre::kUploadPath, nullptr, "", harness.Config(), sink);
}

class RefusedCertificate : public ::testing::TestWithParam<TestCertificateAuthority::LeafKind> {};

TEST_P(RefusedCertificate, EndsLikeAFailedConnectBeforeAnyRequestByte) {
  test::ReportCentreHarness harness(GetParam(), kTimeout);
  test::RecordingMessageSink sink;
  EXPECT_EQ(Upload(harness, sink, 100), "false");
  EXPECT_EQ(sink.Texts(), std::vector<std::string>{kConnectFailed});
  std::string body;
  EXPECT_FALSE(
      HttpExchange::QueryPage(harness.Config().version, TestReportCentre::kVersionPath, body, harness.Config(), sink));
  EXPECT_FALSE(
      HttpExchange::PostForm("&a=1", harness.Config().report, TestReportCentre::kFormPath, "", harness.Config(), sink));

  ASSERT_TRUE(harness.Centre().WaitForFinishedConnections(3, 5000));
  EXPECT_EQ(harness.Centre().ConnectionsAccepted(), 3);
  EXPECT_EQ(harness.Centre().HandshakesCompleted(), 0);
  EXPECT_EQ(harness.Centre().BytesReceived(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RefusedCertificate,
                         ::testing::Values(TestCertificateAuthority::LeafKind::kSelfSigned,
                                           TestCertificateAuthority::LeafKind::kWrongHost,
                                           TestCertificateAuthority::LeafKind::kExpired,
                                           TestCertificateAuthority::LeafKind::kUnknownAuthority),
                         [](const ::testing::TestParamInfo<TestCertificateAuthority::LeafKind>& param) {
                           switch (param.param) {
                             case TestCertificateAuthority::LeafKind::kSelfSigned:
                               return std::string("SelfSigned");
                             case TestCertificateAuthority::LeafKind::kWrongHost:
                               return std::string("WrongHost");
                             case TestCertificateAuthority::LeafKind::kExpired:
                               return std::string("Expired");
                             case TestCertificateAuthority::LeafKind::kUnknownAuthority:
                               return std::string("UnknownAuthority");
                             default:
                               return std::string("Valid");
                           }
                         });

TEST(HttpConnection, TrustsTheConfiguredAuthorityByNameAndAddress) {
  test::ReportCentreHarness harness(TestCertificateAuthority::LeafKind::kValid, kTimeout);
  test::RecordingMessageSink sink;
  EXPECT_NE(Upload(harness, sink, 10, "localhost"), "false");
  EXPECT_NE(Upload(harness, sink, 10, "127.0.0.1"), "false");
  EXPECT_TRUE(sink.Texts().empty());

  // Without the extra authority the same server is refused.
  harness.MutableConfig().caFile.clear();
  EXPECT_EQ(Upload(harness, sink, 10), "false");
  EXPECT_EQ(sink.Texts(), std::vector<std::string>{kConnectFailed});
}

TEST(HttpConnection, SpeaksNothingOlderThanTls12) {
  test::ReportCentreHarness harness(TestCertificateAuthority::LeafKind::kValid, kTimeout);
  test::RecordingMessageSink sink;
  harness.Centre().SetProtocolCeiling(TLS1_2_VERSION);
  EXPECT_NE(Upload(harness, sink, 10), "false");

  harness.Centre().SetProtocolCeiling(TLS1_1_VERSION);
  harness.Centre().ClearRecords();
  EXPECT_EQ(Upload(harness, sink, 10), "false");
  EXPECT_EQ(sink.Texts(), std::vector<std::string>{kConnectFailed});
  ASSERT_TRUE(harness.Centre().WaitForFinishedConnections(2, 5000));
  EXPECT_EQ(harness.Centre().HandshakesCompleted(), 1);
  EXPECT_EQ(harness.Centre().BytesReceived(), 0u);
}

// Each misbehaving server ends the upload within the time-out plus a second,
// with the message of where it stopped.
struct StallCase {
  const char* name;
  TestReportCentre::Fault fault;
  bool stallHandshake;
  std::size_t size;
  std::string result;
  std::vector<std::string> messages;
};

void PrintTo(const StallCase& stall, std::ostream* out) { *out << stall.name; }

class MisbehavingServer : public ::testing::TestWithParam<StallCase> {};

TEST_P(MisbehavingServer, UploadEndsWithinTheTimeOut) {
  const StallCase& c = GetParam();
  test::ReportCentreHarness harness(TestCertificateAuthority::LeafKind::kValid, kTimeout);
  test::RecordingMessageSink sink;
  Answer answer = Answer::UploadAccepted();
  answer.fault = c.fault;
  harness.Centre().SetAnswer(TestReportCentre::kUploadPath, answer);
  harness.Centre().SetStallHandshake(c.stallHandshake);

  const auto start = Clock::now();
  EXPECT_EQ(Upload(harness, sink, c.size), c.result);
  EXPECT_LT(Clock::now() - start, kBound);
  EXPECT_EQ(sink.Texts(), c.messages);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, MisbehavingServer,
    ::testing::Values(
        StallCase{"StallHandshake", TestReportCentre::Fault::kNone, true, 100, "false", {kConnectFailed}},
        StallCase{
            "StallBeforeHead", TestReportCentre::Fault::kStallBeforeHead, false, 100, "false", {kRegistrationFailed}},
        // The head said 200 and set the cookie: the missing body only costs the wait.
        StallCase{"StallAfterHead", TestReportCentre::Fault::kStallAfterHead, false, 100, " JSESSIONID=centre1", {}},
        StallCase{"ResetMidUpload", TestReportCentre::Fault::kResetMidUpload, false, 8 << 20, "false", {kSendFailed}},
        // A server that stops reading: the writes wait at most the time-out.
        StallCase{"StallMidUpload", TestReportCentre::Fault::kStallMidUpload, false, 32 << 20, "false", {kSendFailed}},
        StallCase{"CloseBeforeStatus",
                  TestReportCentre::Fault::kCloseBeforeStatus,
                  false,
                  100,
                  "false",
                  {kRegistrationFailed}}),
    [](const ::testing::TestParamInfo<StallCase>& param) { return std::string(param.param.name); });

TEST(HttpConnection, StalledPageAndFormEndWithinTheTimeOut) {
  test::ReportCentreHarness harness(TestCertificateAuthority::LeafKind::kValid, kTimeout);
  test::RecordingMessageSink sink;
  Answer stalled = Answer::VersionPage("ver:5.3|");
  stalled.fault = TestReportCentre::Fault::kStallBeforeHead;
  harness.Centre().SetAnswer(TestReportCentre::kVersionPath, stalled);
  harness.Centre().SetAnswer(TestReportCentre::kFormPath, stalled);

  auto start = Clock::now();
  std::string body;
  EXPECT_FALSE(
      HttpExchange::QueryPage(harness.Config().version, TestReportCentre::kVersionPath, body, harness.Config(), sink));
  EXPECT_LT(Clock::now() - start, kBound);
  EXPECT_EQ(sink.Texts(), std::vector<std::string>{kRegistrationFailed});

  start = Clock::now();
  EXPECT_FALSE(
      HttpExchange::PostForm("&a=1", harness.Config().report, TestReportCentre::kFormPath, "", harness.Config(), sink));
  EXPECT_LT(Clock::now() - start, kBound);
}

TEST(HttpConnection, BlackHoledPortTimesOutWithItsTrace) {
  test::BlackHolePort hole;
  test::RecordingMessageSink sink;
  ServerConfig config = ServerConfig::Defaults();
  config.connectTimeout = kTimeout;
  config.receiveTimeout = kTimeout;
  config.report.host = "127.0.0.1";
  config.report.port = hole.Port();

  ::testing::internal::CaptureStdout();
  const auto start = Clock::now();
  MultipartBody body;
  EXPECT_EQ(HttpExchange::PostMultipart(body, config.report, "/x", nullptr, "", config, sink), "false");
  const auto elapsed = Clock::now() - start;
  const std::string trace = ::testing::internal::GetCapturedStdout();
  EXPECT_GE(elapsed, std::chrono::milliseconds(900));
  EXPECT_LT(elapsed, kBound);
  EXPECT_EQ(trace, "error - socket Connect - timeout false\n");
  EXPECT_EQ(sink.Texts(), std::vector<std::string>{kConnectFailed});
}

TEST(HttpConnection, ConnectAnswersOnlyOneOrMinusOne) {
  test::ReportCentreHarness harness(TestCertificateAuthority::LeafKind::kValid, kTimeout);
  HttpConnection unresolvable(true, kTimeout, kTimeout, harness.CaFile());
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(unresolvable.Connect("", 443), -1);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");  // neither trace nor message
  unresolvable.Close();
  unresolvable.Shutdown();
  unresolvable.Shutdown();

  HttpConnection connection(true, kTimeout, kTimeout, harness.CaFile());
  ASSERT_EQ(connection.Connect("localhost", harness.Centre().Port()), 1);
  const std::string request = "POST /nowhere HTTP/1.1\r\nContent-Length: 0\r\n\r\n";
  EXPECT_EQ(connection.Send(request.data(), static_cast<int>(request.size())), static_cast<int>(request.size()));
  char buffer[64];
  EXPECT_GT(connection.Receive(buffer, sizeof buffer), 0);
  while (connection.Receive(buffer, sizeof buffer) > 0) {
  }
  // The peer has ended the session: nothing more goes either way.
  EXPECT_EQ(connection.Send("x", 1), -1);
  EXPECT_EQ(connection.Receive(buffer, sizeof buffer), -1);
  connection.Close();
  connection.Close();
  connection.Shutdown();
  EXPECT_EQ(connection.Connect("localhost", harness.Centre().Port()), -1);
}

TEST(HttpConnection, PlainReceiveWaitsAtMostItsTimeOut) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  socklen_t length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);

  HttpConnection connection(false, kTimeout, kTimeout);
  ASSERT_EQ(connection.Connect("127.0.0.1", ntohs(address.sin_port)), 1);
  EXPECT_EQ(connection.Send("hello", 5), 5);
  const int peer = accept(listener, nullptr, nullptr);
  char buffer[16] = {};
  EXPECT_EQ(recv(peer, buffer, sizeof buffer, 0), 5);
  const auto start = Clock::now();
  EXPECT_EQ(connection.Receive(buffer, sizeof buffer), -1);
  EXPECT_LT(Clock::now() - start, kBound);
  EXPECT_EQ(connection.Send("x", 1), -1);  // closed by the time-out
  connection.Shutdown();
  close(peer);
  close(listener);
}

}  // namespace
}  // namespace veradex
