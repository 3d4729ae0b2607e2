#include <gtest/gtest.h>

#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "net/HttpConnection.h"
#include "net/HttpExchange.h"
#include "net/TlsClientContext.h"
#include "net/TlsSessionCache.h"
#include "net/TlsStream.h"
#include "support/RecordingMessageSink.h"
#include "support/ReportCentreHarness.h"
#include "support/ScopedVariable.h"

namespace veradex {
namespace {

using test::TestCertificateAuthority;
using test::TestReportCentre;

constexpr int kTimeout = 1;  // seconds, for every exchange of these tests

NetResult<std::string> Upload(test::ReportCentreHarness& harness, const std::string& host = "localhost") {
  test::RecordingMessageSink sink;
  MultipartBody body;
  body.AddPart(-1)->LoadFile("attach", harness.Temp().Write("u.eml", std::string(10, 'u')), "u.eml", sink);
  ServerAddress server = harness.Config().report;
  server.host = host;
  return HttpExchange::PostMultipart(body, server, TestReportCentre::kUploadPath, nullptr, "", harness.Config());
}

class RefusedCertificate : public ::testing::TestWithParam<TestCertificateAuthority::LeafKind> {};

TEST_P(RefusedCertificate, EndsEveryExchangeBeforeAnyRequestByte) {
  test::ReportCentreHarness harness(GetParam(), kTimeout);
  const NetResult<std::string> uploaded = Upload(harness);
  ASSERT_FALSE(uploaded);
  EXPECT_EQ(uploaded.Error(), NetError::kCertificate) << uploaded.Describe();
  const NetResult<std::string> page =
      HttpExchange::QueryPage(harness.Config().version, TestReportCentre::kVersionPath, harness.Config());
  ASSERT_FALSE(page);
  EXPECT_EQ(page.Error(), NetError::kCertificate);
  const NetResult<void> form =
      HttpExchange::PostForm("&a=1", harness.Config().report, TestReportCentre::kFormPath, "", harness.Config());
  ASSERT_FALSE(form);
  EXPECT_EQ(form.Error(), NetError::kCertificate);

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

TEST(TlsStream, TrustsTheConfiguredAuthorityByNameAndAddress) {
  test::ReportCentreHarness harness(TestCertificateAuthority::LeafKind::kValid, kTimeout);
  EXPECT_TRUE(Upload(harness, "localhost"));
  EXPECT_TRUE(Upload(harness, "127.0.0.1"));

  // Without the extra authority the same server is refused.
  harness.MutableConfig().caFile.clear();
  const NetResult<std::string> untrusted = Upload(harness);
  ASSERT_FALSE(untrusted);
  EXPECT_EQ(untrusted.Error(), NetError::kCertificate);
}

// The system's authorities come from a hashed folder when it has them (read
// when needed); a folder without hash names falls back to the library's
// default places, which do not know the test authority.
#ifndef _WIN32  // Windows' authorities are its ROOT store (WindowsPlatformTest)
TEST(TlsStream, SystemAuthoritiesFromAHashedFolderOnlyWhenItHasHashNames) {
  test::ReportCentreHarness harness(TestCertificateAuthority::LeafKind::kValid, kTimeout);
  std::ifstream in(harness.CaFile());
  const std::string pem((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
  X509* authority = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr);
  BIO_free(bio);
  ASSERT_NE(authority, nullptr);
  char hashName[16];
  std::snprintf(hashName, sizeof hashName, "%08lx.0", X509_subject_name_hash(authority));

  // Variables the user sets for the library win over the folder: none here.
  test::ScopedVariable noFile(X509_get_default_cert_file_env(), nullptr);
  test::ScopedVariable noDir(X509_get_default_cert_dir_env(), nullptr);
  struct Case {
    const char* file;  // the authority's file name in the folder; "" for none
    bool trusted;
  } cases[] = {{hashName, true}, {"authority.pem", false}, {"", false}};
  for (const Case& c : cases) {
    test::TempDir folder;
    folder.Write("README", "not an authority");
    if (*c.file != '\0') folder.Write(c.file, pem);
    std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context(SSL_CTX_new(TLS_client_method()), SSL_CTX_free);
    TlsClientContext::TrustSystemAuthorities(context.get(), folder.Path());
    X509_STORE_CTX* check = X509_STORE_CTX_new();
    ASSERT_EQ(X509_STORE_CTX_init(check, SSL_CTX_get_cert_store(context.get()), authority, nullptr), 1);
    EXPECT_EQ(X509_verify_cert(check) == 1, c.trusted) << "file " << c.file;
    X509_STORE_CTX_free(check);
  }
  X509_free(authority);
}
#endif

// The context made ahead while the program starts serves the next new
// authority (a new test centre's) like one made on the spot.
TEST(TlsStream, AContextPreparedAheadServesTheNextConnection) {
  TlsClientContext::PrepareInBackground();
  test::ReportCentreHarness harness(TestCertificateAuthority::LeafKind::kValid, kTimeout);
  EXPECT_TRUE(Upload(harness));
  harness.MutableConfig().caFile.clear();
  EXPECT_FALSE(Upload(harness));
}

TEST(TlsStream, SpeaksNothingOlderThanTls12) {
  test::ReportCentreHarness harness(TestCertificateAuthority::LeafKind::kValid, kTimeout);
  harness.Centre().SetProtocolCeiling(TLS1_2_VERSION);
  EXPECT_TRUE(Upload(harness));

  harness.Centre().SetProtocolCeiling(TLS1_1_VERSION);
  harness.Centre().ClearRecords();
  const NetResult<std::string> old = Upload(harness);
  ASSERT_FALSE(old);
  EXPECT_EQ(old.Error(), NetError::kConnect);  // not a certificate matter
  ASSERT_TRUE(harness.Centre().WaitForFinishedConnections(2, 5000));
  EXPECT_EQ(harness.Centre().HandshakesCompleted(), 1);
  EXPECT_EQ(harness.Centre().BytesReceived(), 0u);
}

TEST(TlsStream, NothingGoesEitherWayOnceThePeerHasEnded) {
  test::ReportCentreHarness harness(TestCertificateAuthority::LeafKind::kValid, kTimeout);
  HttpConnection connection(true, kTimeout, kTimeout, harness.CaFile());
  ASSERT_TRUE(connection.Connect("localhost", harness.Centre().Port()));
  const std::string request = "POST /nowhere HTTP/1.1\r\nContent-Length: 0\r\n\r\n";
  EXPECT_TRUE(connection.Send(request.data(), static_cast<int>(request.size())));
  char buffer[64];
  EXPECT_GT(connection.Receive(buffer, sizeof buffer), 0);
  while (connection.Receive(buffer, sizeof buffer) > 0) {
  }
  EXPECT_FALSE(connection.Send("x", 1));
  EXPECT_EQ(connection.Receive(buffer, sizeof buffer), -1);
  connection.Close();
  connection.Close();
  // The same object connects afresh.
  EXPECT_TRUE(connection.Connect("localhost", harness.Centre().Port()));
}

// An upload's many small sends leave in batches of records, not one socket
// write per record; the centre still gets every byte.
TEST(TlsStream, SmallSendsLeaveInBatchesOfRecords) {
  test::ReportCentreHarness harness(TestCertificateAuthority::LeafKind::kValid, kTimeout);
  TcpSocket socket(kTimeout, kTimeout);
  TlsStream stream(socket);
  ASSERT_TRUE(socket.Connect("localhost", harness.Centre().Port()));
  ASSERT_TRUE(stream.Handshake(TlsClientContext::For(harness.CaFile()), "localhost"));
  constexpr int kBody = 1024 * 1024;
  const std::string head = "POST /nowhere HTTP/1.1\r\nContent-Length: " + std::to_string(kBody) + "\r\n\r\n";
  const std::size_t before = stream.SocketWrites();
  ASSERT_TRUE(stream.Send(head.data(), static_cast<int>(head.size())));
  const std::string step(1024, 'b');
  for (int sent = 0; sent < kBody; sent += 1024) ASSERT_TRUE(stream.Send(step.data(), 1024));
  ASSERT_TRUE(stream.Flush());
  EXPECT_LE(stream.SocketWrites() - before, kBody / TlsStream::SocketLink::kBatchBytes + 2);
  char answer[64];
  EXPECT_GT(stream.Receive(answer, sizeof answer), 0);
  ASSERT_EQ(harness.Centre().Requests().size(), 1u);
  EXPECT_EQ(harness.Centre().Requests()[0].Body(), std::string(kBody, 'b'));
}

// Connections given one session cache resume the session of the server they
// go to (the server willing); another server, or another trust, gets a full
// handshake.
TEST(TlsStream, ResumesTheSessionOfTheSameServerOnly) {
  test::ReportCentreHarness first(TestCertificateAuthority::LeafKind::kValid, kTimeout);
  test::ReportCentreHarness second(TestCertificateAuthority::LeafKind::kValid, kTimeout);
  first.Centre().SetSessionTickets(2);
  second.Centre().SetSessionTickets(2);
  TlsSessionCache sessions;
  auto post = [&](test::ReportCentreHarness& harness, TlsSessionCache* cache) {
    return HttpExchange::PostForm("&a=1", harness.Config().report, TestReportCentre::kFormPath, "", harness.Config(),
                                  nullptr, cache)
        .Ok();
  };
  const struct {
    test::ReportCentreHarness* centre;
    TlsSessionCache* cache;
    int firstResumed, secondResumed;
  } steps[] = {
      {&first, &sessions, 0, 0},   // full handshake; its session is kept
      {&first, &sessions, 1, 0},   // resumed
      {&second, &sessions, 1, 0},  // another server: full
      {&first, &sessions, 2, 0},   // the first one's session again
      {&second, &sessions, 2, 1},  // and the second's
      {&first, nullptr, 2, 1},     // without the cache: full
  };
  for (const auto& step : steps) {
    ASSERT_TRUE(post(*step.centre, step.cache));
    EXPECT_EQ(first.Centre().HandshakesResumed(), step.firstResumed);
    EXPECT_EQ(second.Centre().HandshakesResumed(), step.secondResumed);
  }
  EXPECT_EQ(first.Centre().HandshakesCompleted(), 4);
  // The bytes of the request are those of a full handshake's.
  for (const auto& request : first.Centre().Requests()) EXPECT_EQ(request.Body(), "a=1");
}

}  // namespace
}  // namespace veradex
