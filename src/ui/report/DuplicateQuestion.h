#pragma once

#include <ctime>

#include <wx/string.h>

namespace veradex {

class ReportHistory;
struct AttachedMail;

// Before a mail joins the attachment list: a mail that the centre has
// already accepted (the same Message-ID, or the same content when it has
// none) is added again only when the user says so.
class DuplicateQuestion {
 public:
  // True when the file may be added: never accepted before, or the user
  // answered Yes to "이미 신고한 메일입니다 (YYYY-MM-DD HH:MM). 다시 첨부하시겠습니까?".
  static bool Allows(const ReportHistory& history, const wxString& path, const AttachedMail& mail);
  // The question for a report accepted at that moment.
  static wxString QuestionText(std::time_t reported);
};

}  // namespace veradex
