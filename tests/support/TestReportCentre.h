#pragma once

#include "centre/CentreServer.h"
#include "support/TestCertificateAuthority.h"

namespace veradex::test {

// The tests' report centre is the sandbox centre's server, driven by
// prepared answers and faults instead of a handler.
using TestReportCentre = centre::CentreServer;

}  // namespace veradex::test
