#include "report/AttachedMail.h"

#include "report/ReportHistory.h"

namespace veradex {

AttachedMail AttachedMail::Read(const std::string& nativePath, long long readStartNs) {
  AttachedMail mail;
  std::string bytes;
  FileStamp stamp;
  mail.summary = MailSummary::FromFile(nativePath, &bytes, &stamp);
  // The bytes are the whole file, as it was while it was read.
  if (!stamp.Known() || static_cast<long long>(bytes.size()) != mail.summary.size) return mail;
  mail.sha256 = ReportHistory::Sha256(bytes.data(), bytes.size());
  if (stamp.SettledBefore(readStartNs)) mail.stamp = stamp;
  return mail;
}

}  // namespace veradex
