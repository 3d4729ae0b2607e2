#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "centre/FormFields.h"

struct sqlite3;

namespace veradex::centre {

// One stored report (or an upload still waiting for its report form). Form
// values are the bytes as posted (code page 949); the mail's subject and
// sender are UTF-8.
struct StoredReport {
  long long id = 0;
  std::string received;  // local time, "YYYY-MM-DD HH:MM:SS"
  std::string kind;      // "email", or the category form's singo_type
  std::string session;
  std::string name, email, tel, mobile, content, password;
  std::string fileName;    // the uploaded file's name as sent
  std::string storedFile;  // its path below the data folder ("files/<id>/<name>"); empty without a file
  std::string mailSubject, mailFrom;
  std::string verdict;                                      // kUploaded, kReceived or kRefused
  std::vector<std::pair<std::string, std::string>> fields;  // every decoded form field, in order
};

// The centre's reports: DIR/reports.sqlite and the uploaded files below
// DIR/files/<id>/. Every request is one transaction, and a file is in place
// before the transaction that names it commits, so a crash never leaves half
// a report. Safe to use from several threads.
class ReportStore {
 public:
  static constexpr const char* kUploaded = "uploaded";  // a file without its report form yet
  static constexpr const char* kReceived = "received";
  static constexpr const char* kRefused = "refused";

  ReportStore() = default;
  ~ReportStore();
  ReportStore(const ReportStore&) = delete;
  ReportStore& operator=(const ReportStore&) = delete;

  // Opens (or creates) the store in folder; false with a reason otherwise.
  bool Open(const std::string& folder, std::string* error);

  // Keeps an uploaded file; its row id, or 0 on failure.
  long long AddUpload(const std::string& session, const std::string& fileName, const std::string& content);
  // The e-mail report form: completes the newest waiting upload with the
  // file name the form names (one of the same session first). Without such
  // an upload, or without a name or an e-mail address, the report is kept as
  // refused. The stored report (id 0 when it could not be stored).
  StoredReport AddEmailReport(const std::string& session, const FormFields& form);
  // A category page's form (kind: its singo_type). Refused without a name.
  StoredReport AddCategoryReport(const std::string& kind, const FormFields& form);

  // Newest first, at most limit.
  std::vector<StoredReport> List(int limit = 500) const;
  // The reports whose report password is password and whose mobile number
  // or telephone number is number ("010-1234-5678"), newest first.
  std::vector<StoredReport> Lookup(const std::string& number, const std::string& password) const;
  // One report by id (id 0 when there is none).
  StoredReport Get(long long id) const;

  const std::string& Folder() const { return folder_; }

 private:
  bool Execute(const char* sql) const;
  bool StoreFields(long long id, const FormFields& form);
  std::vector<StoredReport> Select(const std::string& where, const std::vector<std::string>& parameters,
                                   int limit) const;

  std::string folder_;
  sqlite3* db_ = nullptr;
  mutable std::mutex mutex_;
};

}  // namespace veradex::centre
