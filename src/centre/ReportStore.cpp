#include "centre/ReportStore.h"

#include <sqlite3.h>

#include <ctime>
#include <filesystem>
#include <fstream>

#include "centre/MailHeaders.h"
#include "platform/LocalTime.h"

namespace veradex::centre {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSchema = R"sql(
PRAGMA journal_mode=WAL;
PRAGMA foreign_keys=ON;
CREATE TABLE IF NOT EXISTS reports(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  received TEXT NOT NULL,
  kind TEXT NOT NULL,
  session TEXT NOT NULL DEFAULT '',
  name BLOB NOT NULL DEFAULT '',
  email BLOB NOT NULL DEFAULT '',
  tel BLOB NOT NULL DEFAULT '',
  mobile BLOB NOT NULL DEFAULT '',
  content BLOB NOT NULL DEFAULT '',
  password BLOB NOT NULL DEFAULT '',
  file_name BLOB NOT NULL DEFAULT '',
  stored_file TEXT NOT NULL DEFAULT '',
  mail_subject TEXT NOT NULL DEFAULT '',
  mail_from TEXT NOT NULL DEFAULT '',
  verdict TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS fields(
  report_id INTEGER NOT NULL REFERENCES reports(id),
  position INTEGER NOT NULL,
  name BLOB NOT NULL,
  value BLOB NOT NULL,
  PRIMARY KEY(report_id, position));
)sql";

constexpr const char* kColumns =
    "id, received, kind, session, name, email, tel, mobile, content, password, file_name, stored_file, "
    "mail_subject, mail_from, verdict";

std::string Now() {
  const std::tm local = LocalTime::Now();
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

// A statement that finalises itself.
class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) { sqlite3_prepare_v2(db, sql.c_str(), -1, &statement_, nullptr); }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool Ok() const { return statement_ != nullptr; }
  void Bind(int index, const std::string& bytes) {
    sqlite3_bind_blob(statement_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  }
  void BindText(int index, const std::string& text) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  void Bind(int index, long long value) { sqlite3_bind_int64(statement_, index, value); }
  int Step() { return sqlite3_step(statement_); }
  std::string Column(int index) const {
    const void* data = sqlite3_column_blob(statement_, index);
    const int length = sqlite3_column_bytes(statement_, index);
    return data == nullptr ? std::string()
                           : std::string(static_cast<const char*>(data), static_cast<std::size_t>(length));
  }
  long long Integer(int index) const { return sqlite3_column_int64(statement_, index); }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

// A file name that stays inside its folder: no separators, no control
// characters, not "." or "..".
std::string SafeFileName(const std::string& name) {
  std::string safe;
  for (const char c : name) {
    const unsigned char byte = static_cast<unsigned char>(c);
    safe += (byte < 0x20 || byte == 0x7F || c == '/' || c == '\\') ? '_' : c;
  }
  if (safe.empty() || safe == "." || safe == "..") safe = "attachment";
  if (safe.size() > 200) safe = safe.substr(safe.size() - 200);
  return safe;
}

bool WriteWhole(const fs::path& path, const std::string& bytes) {
  const fs::path partial = path.string() + ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) return false;
  }
  std::error_code error;
  fs::rename(partial, path, error);
  return !error;
}

std::string Joined(const FormFields& form, const char* a, const char* b, const char* c) {
  if (form.Get(a).empty() && form.Get(b).empty() && form.Get(c).empty()) return std::string();
  return form.Get(a) + "-" + form.Get(b) + "-" + form.Get(c);
}

}  // namespace

ReportStore::~ReportStore() { sqlite3_close(db_); }

bool ReportStore::Open(const std::string& folder, std::string* error) {
  folder_ = folder;
  std::error_code made;
  fs::create_directories(fs::path(folder) / "files", made);
  if (made) {
    *error = folder + ": " + made.message();
    return false;
  }
  const std::string path = (fs::path(folder) / "reports.sqlite").string();
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                      nullptr) != SQLITE_OK) {
    *error = path + ": " + (db_ != nullptr ? sqlite3_errmsg(db_) : "cannot open");
    return false;
  }
  sqlite3_busy_timeout(db_, 5000);
  char* message = nullptr;
  if (sqlite3_exec(db_, kSchema, nullptr, nullptr, &message) != SQLITE_OK) {
    *error = path + ": " + (message != nullptr ? message : "bad database");
    sqlite3_free(message);
    return false;
  }
  return true;
}

bool ReportStore::Execute(const char* sql) const {
  return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool ReportStore::StoreFields(long long id, const FormFields& form) {
  long long position = 0;
  for (const auto& field : form.All()) {
    Statement one(db_, "INSERT INTO fields(report_id, position, name, value) VALUES(?, ?, ?, ?)");
    one.Bind(1, id);
    one.Bind(2, ++position);
    one.Bind(3, field.first);
    one.Bind(4, field.second);
    if (one.Step() != SQLITE_DONE) return false;
  }
  return true;
}

long long ReportStore::AddUpload(const std::string& session, const std::string& fileName, const std::string& content) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (db_ == nullptr || !Execute("BEGIN IMMEDIATE")) return 0;
  const MailHeaders mail = MailHeaders::Read(content);
  Statement insert(db_,
                   "INSERT INTO reports(received, kind, session, file_name, mail_subject, mail_from, verdict) "
                   "VALUES(?, 'email', ?, ?, ?, ?, ?)");
  insert.BindText(1, Now());
  insert.BindText(2, session);
  insert.Bind(3, fileName);
  insert.BindText(4, mail.Subject());
  insert.BindText(5, mail.From());
  insert.BindText(6, kUploaded);
  if (!insert.Ok() || insert.Step() != SQLITE_DONE) {
    Execute("ROLLBACK");
    return 0;
  }
  const long long id = sqlite3_last_insert_rowid(db_);
  const std::string stored = "files/" + std::to_string(id) + "/" + SafeFileName(fileName);
  std::error_code error;
  fs::create_directories(fs::path(folder_) / "files" / std::to_string(id), error);
  Statement update(db_, "UPDATE reports SET stored_file = ? WHERE id = ?");
  update.BindText(1, stored);
  update.Bind(2, id);
  if (error || !WriteWhole(fs::path(folder_) / stored, content) || update.Step() != SQLITE_DONE || !Execute("COMMIT")) {
    Execute("ROLLBACK");
    fs::remove_all(fs::path(folder_) / "files" / std::to_string(id), error);
    return 0;
  }
  return id;
}

StoredReport ReportStore::AddEmailReport(const std::string& session, const FormFields& form) {
  std::lock_guard<std::mutex> lock(mutex_);
  StoredReport report;
  if (db_ == nullptr || !Execute("BEGIN IMMEDIATE")) return report;
  long long uploadId = 0;
  {
    Statement find(db_,
                   "SELECT id FROM reports WHERE kind = 'email' AND verdict = ? AND file_name = ? "
                   "ORDER BY session = ? DESC, id DESC LIMIT 1");
    find.BindText(1, kUploaded);
    find.Bind(2, form.Get("filename"));
    find.BindText(3, session);
    if (find.Ok() && find.Step() == SQLITE_ROW) uploadId = find.Integer(0);
  }
  const bool complete = uploadId != 0 && !form.Get("name").empty() && !form.Get("email").empty();
  const std::string verdict = complete ? kReceived : kRefused;
  long long id = uploadId;
  // The first seven values, alike in both statements.
  const auto bindReporter = [&](Statement& statement) {
    statement.BindText(1, Now());
    statement.BindText(2, session);
    statement.Bind(3, form.Get("name"));
    statement.Bind(4, form.Get("email"));
    statement.Bind(5, form.Get("tel"));
    statement.Bind(6, form.Get("content"));
    statement.Bind(7, form.Get("pwd"));
  };
  if (complete) {
    Statement update(db_,
                     "UPDATE reports SET received = ?, session = ?, name = ?, email = ?, tel = ?, content = ?, "
                     "password = ?, verdict = ? WHERE id = ?");
    bindReporter(update);
    update.BindText(8, verdict);
    update.Bind(9, id);
    if (!update.Ok() || update.Step() != SQLITE_DONE) id = 0;
  } else {
    Statement insert(db_,
                     "INSERT INTO reports(received, kind, session, name, email, tel, content, password, file_name, "
                     "verdict) VALUES(?, 'email', ?, ?, ?, ?, ?, ?, ?, ?)");
    bindReporter(insert);
    insert.Bind(8, form.Get("filename"));
    insert.BindText(9, verdict);
    id = insert.Ok() && insert.Step() == SQLITE_DONE ? sqlite3_last_insert_rowid(db_) : 0;
  }
  if (id == 0 || !StoreFields(id, form) || !Execute("COMMIT")) {
    Execute("ROLLBACK");
    return report;
  }
  report.id = id;
  report.verdict = verdict;
  return report;
}

StoredReport ReportStore::AddCategoryReport(const std::string& kind, const FormFields& form) {
  std::lock_guard<std::mutex> lock(mutex_);
  StoredReport report;
  if (db_ == nullptr || !Execute("BEGIN IMMEDIATE")) return report;
  const std::string verdict = form.Get("name").empty() ? kRefused : kReceived;
  Statement insert(db_,
                   "INSERT INTO reports(received, kind, name, email, tel, mobile, content, password, verdict) "
                   "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)");
  insert.BindText(1, Now());
  insert.BindText(2, kind);
  insert.Bind(3, form.Get("name"));
  insert.Bind(4, form.Get("email"));
  insert.Bind(5, Joined(form, "tel1", "tel2", "tel3"));
  insert.Bind(6, Joined(form, "mtel1", "mtel2", "mtel3"));
  insert.Bind(7, form.Get("spam_content"));
  insert.Bind(8, form.Get("singo_pw"));
  insert.BindText(9, verdict);
  const long long id = insert.Ok() && insert.Step() == SQLITE_DONE ? sqlite3_last_insert_rowid(db_) : 0;
  if (id == 0 || !StoreFields(id, form) || !Execute("COMMIT")) {
    Execute("ROLLBACK");
    return report;
  }
  report.id = id;
  report.kind = kind;
  report.verdict = verdict;
  return report;
}

std::vector<StoredReport> ReportStore::Select(const std::string& where, const std::vector<std::string>& parameters,
                                              int limit) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<StoredReport> reports;
  if (db_ == nullptr) return reports;
  Statement select(db_, std::string("SELECT ") + kColumns + " FROM reports " + where + " ORDER BY id DESC LIMIT ?");
  if (!select.Ok()) return reports;
  int index = 0;
  for (const auto& parameter : parameters) select.Bind(++index, parameter);
  select.Bind(++index, static_cast<long long>(limit));
  while (select.Step() == SQLITE_ROW) {
    StoredReport report;
    report.id = select.Integer(0);
    report.received = select.Column(1);
    report.kind = select.Column(2);
    report.session = select.Column(3);
    report.name = select.Column(4);
    report.email = select.Column(5);
    report.tel = select.Column(6);
    report.mobile = select.Column(7);
    report.content = select.Column(8);
    report.password = select.Column(9);
    report.fileName = select.Column(10);
    report.storedFile = select.Column(11);
    report.mailSubject = select.Column(12);
    report.mailFrom = select.Column(13);
    report.verdict = select.Column(14);
    reports.push_back(std::move(report));
  }
  for (auto& report : reports) {
    Statement fields(db_, "SELECT name, value FROM fields WHERE report_id = ? ORDER BY position");
    fields.Bind(1, report.id);
    while (fields.Step() == SQLITE_ROW) report.fields.emplace_back(fields.Column(0), fields.Column(1));
  }
  return reports;
}

std::vector<StoredReport> ReportStore::List(int limit) const { return Select("", {}, limit); }

std::vector<StoredReport> ReportStore::Lookup(const std::string& number, const std::string& password) const {
  if (number.empty() || password.empty()) return {};
  return Select("WHERE verdict <> ?1 AND password = ?2 AND (mobile = ?3 OR tel = ?3)", {kUploaded, password, number},
                500);
}

StoredReport ReportStore::Get(long long id) const {
  auto found = Select("WHERE id = CAST(? AS INTEGER)", {std::to_string(id)}, 1);
  return found.empty() ? StoredReport() : found.front();
}

}  // namespace veradex::centre
