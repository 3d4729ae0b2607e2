#include "report/MailSummary.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/NativePath.h"
#include "report/MailBytes.h"
#include "report/MailModule.h"
#include "report/ReportTexts.h"

namespace veradex {

namespace {

constexpr std::size_t kReadLimit = MailBytes::kReadLimit;

bool ReadBytes(const std::string& path, std::string* bytes, long long* size) {
  // Only regular files: a folder has no bytes and a pipe would block the caller.
  std::error_code error;
  const std::filesystem::path filePath = NativePath::ToFs(path);
  if (!std::filesystem::is_regular_file(filePath, error)) return false;
  std::ifstream file(filePath, std::ios::binary);
  if (!file) return false;
  file.seekg(0, std::ios::end);
  const std::streamoff length = file.tellg();
  if (length < 0) return false;
  *size = static_cast<long long>(length);
  file.seekg(0, std::ios::beg);
  bytes->resize(static_cast<std::size_t>(std::min<std::streamoff>(length, kReadLimit)));
  file.read(bytes->data(), static_cast<std::streamsize>(bytes->size()));
  return static_cast<std::size_t>(file.gcount()) == bytes->size();
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
  long long size = 0;
  if (!ReadBytes(nativePath, &bytes, &size)) return Unreadable(0);
  return SummaryOf(bytes, size, true);
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
  std::string hop = firstHopHost;
  if (!firstHopAddress.empty() && firstHopAddress != firstHopHost)
    hop += (hop.empty() ? "[" : " [") + firstHopAddress + "]";
  line(ReportTexts::Get(ReportTexts::kFirstHopLabel), hop);
  line(ReportTexts::Get(ReportTexts::kSizeLabel), sizeText);
  if (!preview.empty()) line(ReportTexts::Get(ReportTexts::kBodyLabel), preview);
  return text;
}

}  // namespace veradex
