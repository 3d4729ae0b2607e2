// Entry point of the tests that need no display: a failed toolkit assertion
// fails the running test.
#include <gtest/gtest.h>

#include "report/MailModule.h"
#include "support/FailingAssertHandler.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  veradex::test::InstallFailingAssertHandler();
  veradex::MailModule::SetPath(VERADEX_MAIL_MODULE);
  return RUN_ALL_TESTS();
}
