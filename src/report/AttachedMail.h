#pragma once

#include <string>

#include "platform/FileStamp.h"
#include "report/MailSummary.h"

namespace veradex {

// A file as the attachment list read it when it was added: what it is, the
// SHA-256 of its bytes and the stamp of the file they came from. The list
// keeps it with the row, so that the file's report is recorded without
// reading the mail again, as long as the file uploaded is still the one
// that was read.
struct AttachedMail {
  MailSummary summary;
  std::string sha256;  // lower-case hexadecimal of the whole file; empty when it was not read whole and unchanged
  // The file the bytes came from; unknown when a later change could not be
  // told from it (the file was written just before it was read).
  FileStamp stamp;

  // Reads the file once for all three. `readStartNs` is the moment the read
  // counts as begun (tests move it to pretend a file is older).
  static AttachedMail Read(const std::string& nativePath, long long readStartNs = FileStamp::NowNs());
  // Whether a file whose stamp is `loaded` holds the very bytes this was made of.
  bool Describes(const FileStamp& loaded) const { return !sha256.empty() && stamp.Known() && stamp == loaded; }
};

}  // namespace veradex
