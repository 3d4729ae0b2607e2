// Entry point of the tests that need no display: a failed toolkit assertion
// fails the running test.
#include <gtest/gtest.h>

#include "net/TlsClientContext.h"
#include "report/MailModule.h"
#include "support/FailingAssertHandler.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  veradex::test::InstallFailingAssertHandler();
  veradex::MailModule::SetPath(VERADEX_MAIL_MODULE);
  // As the program does at its start: the first TLS context, which reads the
  // system's authorities (on Windows the ROOT store, half a second under
  // Wine), is made before the first timed exchange.
  veradex::TlsClientContext::PrepareInBackground();
  veradex::TlsClientContext::AwaitPreparation();
  return RUN_ALL_TESTS();
}
