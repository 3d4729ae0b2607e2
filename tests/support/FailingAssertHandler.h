#pragma once

namespace veradex::test {

// Makes every failed toolkit assertion a failure of the running test (file,
// line, condition and message in the report), on whichever thread it fails.
// Installed by both test mains.
void InstallFailingAssertHandler();

}  // namespace veradex::test
