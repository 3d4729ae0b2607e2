#pragma once

#include "centre/CertificateAuthority.h"

namespace veradex::test {

// A fresh authority per test, from the centre's own.
using TestCertificateAuthority = centre::CertificateAuthority;
using CertifiedKey = centre::CertifiedKey;

}  // namespace veradex::test
