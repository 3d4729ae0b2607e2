// The browser's extra trust: a refused server certificate passes only when it
// leads to the configured authority, is valid now and names the host.
#include <gtest/gtest.h>

#include "net/CertificateCheck.h"
#include "net/ServerConfig.h"
#include "support/TempDir.h"
#include "support/TestCertificateAuthority.h"

namespace veradex {
namespace {

using test::TestCertificateAuthority;
using LeafKind = TestCertificateAuthority::LeafKind;

class CertificateCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    caFile = temp.File("authority.pem");
    ASSERT_TRUE(authority.WriteCertificate(caFile));
  }
  bool Verify(const std::string& leafPem, const std::string& host) {
    return CertificateCheck::Verify({leafPem}, host, caFile);
  }

  test::TempDir temp;
  TestCertificateAuthority authority;
  std::string caFile;
};

TEST_F(CertificateCheckTest, AcceptsTheAuthoritysServerForItsNamesOnly) {
  const std::string valid = authority.Issue(LeafKind::kValid).certificatePem;
  EXPECT_TRUE(Verify(valid, "localhost"));
  EXPECT_TRUE(Verify(valid, "LOCALHOST"));
  EXPECT_TRUE(Verify(valid, "127.0.0.1"));
  EXPECT_FALSE(Verify(valid, "127.0.0.2"));
  EXPECT_FALSE(Verify(valid, "localhost.evil.example"));
  EXPECT_FALSE(Verify(valid, "evil.localhost"));
  EXPECT_FALSE(Verify(valid, ""));
  // The chain may carry the authority itself after the server certificate.
  EXPECT_TRUE(CertificateCheck::Verify({valid, authority.CertificatePem()}, "localhost", caFile));
}

TEST_F(CertificateCheckTest, RefusesEveryOtherCertificate) {
  EXPECT_FALSE(Verify(authority.Issue(LeafKind::kWrongHost).certificatePem, "localhost"));
  EXPECT_FALSE(Verify(authority.Issue(LeafKind::kExpired).certificatePem, "localhost"));
  EXPECT_FALSE(Verify(authority.Issue(LeafKind::kUnknownAuthority).certificatePem, "localhost"));
  EXPECT_FALSE(Verify(authority.Issue(LeafKind::kSelfSigned).certificatePem, "localhost"));
  const std::string notYetValid = authority.IssueFor({"localhost"}, {}, 3600, 7200).certificatePem;
  EXPECT_FALSE(Verify(notYetValid, "localhost"));
  // The authority's own certificate is no server certificate.
  EXPECT_FALSE(Verify(authority.CertificatePem(), "Veradex Test Authority"));
  // A stranger's intermediate sent along does not help.
  TestCertificateAuthority stranger("Stranger");
  EXPECT_FALSE(CertificateCheck::Verify({stranger.Issue(LeafKind::kValid).certificatePem, stranger.CertificatePem()},
                                        "localhost", caFile));
}

TEST_F(CertificateCheckTest, NothingToTrustWithoutAReadableAuthorityOrCertificate) {
  const std::string valid = authority.Issue(LeafKind::kValid).certificatePem;
  EXPECT_FALSE(CertificateCheck::Verify({valid}, "localhost", ""));
  EXPECT_FALSE(CertificateCheck::Verify({valid}, "localhost", temp.File("missing.pem")));
  EXPECT_FALSE(CertificateCheck::Verify({valid}, "localhost", temp.Write("garbage.pem", "not a certificate")));
  EXPECT_FALSE(CertificateCheck::Verify({}, "localhost", caFile));
  EXPECT_FALSE(CertificateCheck::Verify({"-----BEGIN CERTIFICATE-----\nAAAA\n-----END CERTIFICATE-----\n"}, "localhost",
                                        caFile));
  EXPECT_FALSE(CertificateCheck::Verify({valid, "garbage"}, "localhost", caFile));
}

TEST(CertificateCheckScope, OnlyTheConfiguredHttpsServersGetTheExtraAuthority) {
  ServerConfig config = ServerConfig::Defaults();
  config.report = ServerAddress::Parse("Report.Example:8443");
  config.version = ServerAddress::Parse("version.example");
  config.info = ServerAddress::Parse("info.example", 80);
  std::string host;
  EXPECT_FALSE(CertificateCheck::ExtraAuthorityApplies("https://report.example:8443/h_singo/singo.jsp", config, &host));
  config.caFile = "/some/authority.pem";
  EXPECT_TRUE(CertificateCheck::ExtraAuthorityApplies("https://report.example:8443/h_singo/singo.jsp", config, &host));
  EXPECT_EQ(host, "report.example");
  EXPECT_TRUE(CertificateCheck::ExtraAuthorityApplies("HTTPS://user@REPORT.example:8443?x", config, &host));
  EXPECT_TRUE(CertificateCheck::ExtraAuthorityApplies("https://version.example/v.html", config, &host));
  EXPECT_TRUE(CertificateCheck::ExtraAuthorityApplies("https://version.example:443", config, &host));
  // Another port, another host, plain HTTP, the information site, no host at all.
  EXPECT_FALSE(CertificateCheck::ExtraAuthorityApplies("https://report.example/h_singo/singo.jsp", config, &host));
  EXPECT_FALSE(CertificateCheck::ExtraAuthorityApplies("https://report.example.evil:8443/", config, &host));
  EXPECT_FALSE(CertificateCheck::ExtraAuthorityApplies("https://version.example:8443/", config, &host));
  EXPECT_FALSE(CertificateCheck::ExtraAuthorityApplies("http://version.example/", config, &host));
  EXPECT_FALSE(CertificateCheck::ExtraAuthorityApplies("https://info.example/", config, &host));
  EXPECT_FALSE(CertificateCheck::ExtraAuthorityApplies("https://info.example:80/", config, &host));
  EXPECT_FALSE(CertificateCheck::ExtraAuthorityApplies("https://:8443/", config, &host));
  EXPECT_FALSE(CertificateCheck::ExtraAuthorityApplies("https://version.example:99999/", config, &host));
  EXPECT_FALSE(CertificateCheck::ExtraAuthorityApplies("file:///tmp/BOARD_SPAM.HTML", config, &host));
  config.report = ServerAddress::Parse("[::1]:8443");
  EXPECT_TRUE(CertificateCheck::ExtraAuthorityApplies("https://[::1]:8443/", config, &host));
  EXPECT_EQ(host, "::1");
}

}  // namespace
}  // namespace veradex
