#pragma once

#include <memory>
#include <string>

#include "net/ServerConfig.h"
#include "support/TempDir.h"
#include "support/TestCertificateAuthority.h"
#include "support/TestReportCentre.h"

namespace veradex::test {

// A running test report centre with a fresh authority whose certificate is in
// a temporary file, and a server configuration that points every server at
// the centre and trusts that authority.
class ReportCentreHarness {
 public:
  explicit ReportCentreHarness(TestCertificateAuthority::LeafKind identity = TestCertificateAuthority::LeafKind::kValid,
                               int timeoutSeconds = 2);

  TestReportCentre& Centre() { return *centre_; }
  const TestCertificateAuthority& Authority() const { return authority_; }
  const std::string& CaFile() const { return caFile_; }
  // Report and version host: the centre; time-outs as constructed.
  const ServerConfig& Config() const { return config_; }
  ServerConfig& MutableConfig() { return config_; }
  TempDir& Temp() { return temp_; }

 private:
  TempDir temp_;
  TestCertificateAuthority authority_;
  std::string caFile_;
  std::unique_ptr<TestReportCentre> centre_;
  ServerConfig config_;
};

}  // namespace veradex::test
