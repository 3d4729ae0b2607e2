#pragma once

#include <string>
#include <vector>

#include "centre/ReportStore.h"

namespace veradex::centre {

// The HTML pages of the sandbox centre (UTF-8), for a browser and for the
// program's own browser view.
class CentrePages {
 public:
  // Every report received, newest first, with links to the stored files.
  static std::string List(const std::vector<StoredReport>& reports);
  // The answer of the lookup page: the reports found for number. missing:
  // the number or the password was not given.
  static std::string Lookup(const std::vector<StoredReport>& reports, const std::string& number, bool missing);

  // "/files/<id>/<name>", the address of a stored file.
  static std::string FileAddress(const StoredReport& report);
  // Code page 949 bytes as UTF-8 (an undecodable byte becomes '?').
  static std::string FromCp949(const std::string& bytes);
  static std::string Escape(const std::string& utf8);
};

}  // namespace veradex::centre
