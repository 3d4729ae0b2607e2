#include "support/ReportCentreHarness.h"

#include <stdexcept>

namespace veradex::test {

ReportCentreHarness::ReportCentreHarness(TestCertificateAuthority::LeafKind identity, int timeoutSeconds) {
  caFile_ = temp_.File("test-authority.pem");
  if (!authority_.WriteCertificate(caFile_)) throw std::runtime_error("harness: cannot write the authority");
  centre_ = std::make_unique<TestReportCentre>(authority_.Issue(identity));
  if (!centre_->Start()) throw std::runtime_error("harness: the centre cannot listen");
  config_ = ServerConfig::Defaults();
  config_.report = centre_->Address();
  config_.version = centre_->Address();
  config_.caFile = caFile_;
  config_.connectTimeout = timeoutSeconds;
  config_.receiveTimeout = timeoutSeconds;
}

}  // namespace veradex::test
