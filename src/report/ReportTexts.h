#pragma once

#include <string>

namespace veradex {

// The report layer's Korean texts for the mail summaries and the report
// history, in code page 949.
class ReportTexts {
 public:
  static const std::string& SubjectLabel();
  static const std::string& FromLabel();
  static const std::string& DateLabel();
  static const std::string& FirstHopLabel();
  static const std::string& SizeLabel();
  static const std::string& BodyLabel();
  static const std::string& Bytes();
  static const std::string& Missing();
  static const std::string& NotMail();
  static const std::string& DamagedMail();
  static const std::string& Unreadable();

  // The header line of the exported table (comma-separated).
  static const std::string& CsvHeader();
  static const std::string& VerdictAccepted();
  static const std::string& VerdictRefused();
  static const std::string& VerdictNotSent();
  // The history cannot be kept (said once per run of the program).
  static const std::string& HistoryUnavailable();
  // The damaged history file was kept aside; %s: where.
  static const std::string& HistoryDamaged();
};

}  // namespace veradex
