#include "ui/report/DuplicateQuestion.h"

#include <ctime>

#include "platform/LocalTime.h"
#include "platform/MessageSink.h"
#include "platform/NativePath.h"
#include "report/AttachedMail.h"
#include "report/ReportHistory.h"
#include "ui/report/ReportWindowTexts.h"
#include "ui/report/Utf8Text.h"

namespace veradex {

bool DuplicateQuestion::Allows(const ReportHistory& history, const wxString& path, const AttachedMail& mail) {
  const std::string& messageId = mail.summary.messageId;
  std::string sha256;
  if (messageId.empty())
    sha256 = mail.sha256.empty() ? ReportHistory::FileSha256(NativePath::FromWx(path)) : mail.sha256;
  const std::time_t reported = history.LastAccepted(messageId, sha256);
  if (reported == 0) return true;
  return MessageSink::Current().ShowMessage(Utf8Text::ToCp949(QuestionText(reported)), kMbYesNo | kMbIconQuestion) ==
         kIdYes;
}

wxString DuplicateQuestion::QuestionText(std::time_t reported) {
  const std::tm local = LocalTime::From(reported);
  char moment[32];
  std::strftime(moment, sizeof moment, "%Y-%m-%d %H:%M", &local);
  return wxString::Format(HistoryTexts::AlreadyReported(), wxString::FromUTF8(moment));
}

}  // namespace veradex
