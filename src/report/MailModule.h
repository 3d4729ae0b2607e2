#pragma once

#include <string>

#include "report/MailSummary.h"

namespace veradex {

// The mail module ("veradex-mail" beside the program, see MailReader),
// loaded when a mail is first read and kept for the rest of the process: the
// mail libraries register their types with GLib and cannot be unloaded.
// Safe to use from any thread.
class MailModule {
 public:
  // Where the module is looked for (a native path); by default beside the
  // executable. Takes effect only before the first Read.
  static void SetPath(const std::string& nativePath);
  static std::string Path();
  // The module's summary of a mail's bytes (see MailReader::Read); false,
  // with nothing read, when the module cannot be loaded.
  static bool Read(const std::string& bytes, long long size, bool whole, MailSummary* summary);
};

}  // namespace veradex
