#include "report/MailSummary.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "platform/FileStamp.h"
#include "report/MailBytes.h"
#include "report/MailModule.h"
#include "report/ReportTexts.h"

namespace veradex {

namespace {

constexpr std::size_t kReadLimit = MailBytes::kReadLimit;

// The file's first kReadLimit bytes and its length; the stamp of the file
// when it did not change while it was read (else an unknown one).
bool ReadBytes(const std::string& path, std::string* bytes, long long* size, FileStamp* stamp) {
  // Only regular files: a folder has no bytes and a pipe would block the caller.
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return false;
  const FileStamp before = FileStamp::Of(file.get());
  bytes->clear();
  bytes->reserve(static_cast<std::size_t>(std::min<long long>(std::max<long long>(info.st_size, 0), kReadLimit)));
  char block[65536];
  while (bytes->size() < kReadLimit) {
    const std::size_t count = std::fread(block, 1, std::min(sizeof block, kReadLimit - bytes->size()), file.get());
    if (count == 0) break;
    bytes->append(block, count);
  }
  if (std::ferror(file.get())) return false;
  const FileStamp after = FileStamp::Of(file.get());
  // Read to its end, the file is as long as what was read.
  *size = bytes->size() < kReadLimit ? static_cast<long long>(bytes->size())
                                     : std::max<long long>(after.size, static_cast<long long>(info.st_size));
  *stamp = before == after ? after : FileStamp();
  return true;
}

MailSummary Unreadable(long long size) {
  MailSummary summary;
  summary.kind = MailSummary::Kind::kUnreadable;
  summary.size = size;
  return summary;
}

// The summary of a mail's bytes (see MailReader::Read), from the mail
// module; without it the mail counts as one that cannot be read.
MailSummary SummaryOf(const std::string& bytes, long long size, bool whole) {
  MailSummary summary;
  return MailModule::Read(bytes, size, whole, &summary) ? summary : Unreadable(size);
}

}  // namespace

MailSummary MailSummary::OfHeaders(const char* bytes, std::size_t length) {
  const std::string_view mail(bytes, std::min<std::size_t>(length, kReadLimit));
  // An Outlook message's fields are spread over the whole compound file.
  if (MailBytes::IsOutlookMessage(mail)) return SummaryOf(std::string(mail), static_cast<long long>(length), true);
  return SummaryOf(std::string(mail.substr(0, MailBytes::HeaderBlockLength(mail))), static_cast<long long>(length),
                   false);
}

MailSummary MailSummary::FromFile(const std::string& nativePath) {
  std::string bytes;
  FileStamp stamp;
  return FromFile(nativePath, &bytes, &stamp);
}

MailSummary MailSummary::FromFile(const std::string& nativePath, std::string* bytes, FileStamp* stamp) {
  long long size = 0;
  *stamp = FileStamp();
  if (!ReadBytes(nativePath, bytes, &size, stamp)) return Unreadable(0);
  return SummaryOf(*bytes, size, true);
}

std::string MailSummary::FirstHop() const {
  std::string hop = firstHopHost;
  if (!firstHopAddress.empty() && firstHopAddress != firstHopHost)
    hop += (hop.empty() ? "[" : " [") + firstHopAddress + "]";
  return hop;
}

std::string MailSummary::Describe() const {
  if (kind == Kind::kUnreadable) return ReportTexts::Get(ReportTexts::kUnreadable);
  std::string text;
  auto line = [&](const std::string& label, const std::string& value) {
    if (!text.empty()) text += "\n";
    text += label + ": " + (value.empty() ? ReportTexts::Get(ReportTexts::kMissing) : value);
  };
  const std::string sizeText = std::to_string(size) + ReportTexts::Get(ReportTexts::kBytes);
  if (kind == Kind::kNotMail) {
    text = ReportTexts::Get(ReportTexts::kNotMail);
    line(ReportTexts::Get(ReportTexts::kSizeLabel), sizeText);
    return text;
  }
  if (kind == Kind::kDamaged) text = ReportTexts::Get(ReportTexts::kDamagedMail);
  line(ReportTexts::Get(ReportTexts::kSubjectLabel), subject);
  line(ReportTexts::Get(ReportTexts::kFromLabel), from);
  line(ReportTexts::Get(ReportTexts::kDateLabel), date);
  line("Message-ID", messageId);
  line(ReportTexts::Get(ReportTexts::kFirstHopLabel), FirstHop());
  line(ReportTexts::Get(ReportTexts::kSizeLabel), sizeText);
  if (!preview.empty()) line(ReportTexts::Get(ReportTexts::kBodyLabel), preview);
  return text;
}

}  // namespace veradex
