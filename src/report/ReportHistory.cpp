#include "report/ReportHistory.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <openssl/evp.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include <wx/string.h>

#include "platform/Cp949.h"
#include "platform/LocalTime.h"
#include "platform/MessageSink.h"
#include "platform/NativePath.h"
#include "platform/UserFolders.h"
#include "report/AttachedMail.h"
#include "report/MailSummary.h"
#include "report/ReportTexts.h"

namespace veradex {

namespace {

// Each step brings the schema from the version before it to its own number.
const char* const kMigrations[] = {
    // 1: the reports.
    "CREATE TABLE reports ("
    " id INTEGER PRIMARY KEY,"
    " time INTEGER NOT NULL,"
    " local_path BLOB NOT NULL,"
    " sent_name TEXT NOT NULL,"
    " size INTEGER NOT NULL,"
    " sha256 TEXT NOT NULL,"
    " message_id TEXT NOT NULL,"
    " subject TEXT NOT NULL,"
    " sender TEXT NOT NULL,"
    " verdict INTEGER NOT NULL,"
    " answer TEXT NOT NULL,"
    " run INTEGER NOT NULL);",
    // 2: the look-ups of the duplicate question and of the list.
    "CREATE INDEX reports_by_message_id ON reports(message_id, verdict);"
    "CREATE INDEX reports_by_sha256 ON reports(sha256, verdict);"
    "CREATE INDEX reports_by_time ON reports(time);",
};
static_assert(sizeof kMigrations / sizeof kMigrations[0] == ReportHistory::kSchemaVersion,
              "one migration per schema version");

std::string Utf8Of(const std::string& cp949) { return Cp949::ToWx(cp949).utf8_string(); }

std::string Cp949Of(const unsigned char* utf8) {
  return utf8 == nullptr ? std::string() : Cp949::FromWxLossy(wxString::FromUTF8(reinterpret_cast<const char*>(utf8)));
}

struct Statement {
  sqlite3_stmt* handle = nullptr;
  Statement(sqlite3* db, const char* sql) {
    if (db != nullptr) sqlite3_prepare_v2(db, sql, -1, &handle, nullptr);
  }
  ~Statement() { sqlite3_finalize(handle); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  explicit operator bool() const { return handle != nullptr; }
  void Text(int index, const std::string& text) {
    sqlite3_bind_text(handle, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
};

bool IsSqliteFile(const std::string& path) {
  std::ifstream file(NativePath::ToFs(path), std::ios::binary);
  char head[16] = {};
  file.read(head, sizeof head);
  return file.gcount() == 16 && std::string(head, 16) == std::string("SQLite format 3\0", 16);
}

// Anything under that name, a dangling link too.
bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::symlink_status(NativePath::ToFs(path), error).type() !=
             std::filesystem::file_type::not_found &&
         !error;
}

std::string CsvCell(const std::string& utf8) {
  std::string cell = utf8;
  // A spam mail's subject must not become a formula in the reader's spreadsheet.
  if (!cell.empty() &&
      (cell[0] == '=' || cell[0] == '+' || cell[0] == '-' || cell[0] == '@' || cell[0] == '\t' || cell[0] == '\r'))
    cell.insert(0, "'");
  if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
  std::string quoted = "\"";
  for (char c : cell) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string TimeText(std::time_t moment) {
  const std::tm local = LocalTime::From(moment);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace

ReportHistory::ReportHistory(const std::string& folder) : folder_(folder.empty() ? DefaultFolder() : folder) {
  while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
  filePath_ = folder_ + "/" + kFileName;
}

void ReportHistory::Ready() const {
  std::call_once(opened_, [this] { const_cast<ReportHistory*>(this)->Open(); });
}

ReportHistory::~ReportHistory() { CloseDatabase(); }

std::string ReportHistory::DefaultFolder() { return UserFolders::Base(UserFolders::Kind::kData) + "/Ambrel/veradex"; }

void ReportHistory::Open() {
  UserFolders::MakePrivate(folder_);
  if (Exists(filePath_) && !IsSqliteFile(filePath_)) MoveAside();
  if (OpenDatabase(false)) {
    // A file that starts like a database may still be broken inside.
    bool sound = false;
    {
      // Finished before the file is closed: an open statement keeps it open,
      // and Windows moves no open file aside.
      Statement check(db_, "PRAGMA quick_check;");
      sound = check && sqlite3_step(check.handle) == SQLITE_ROW &&
              std::string(reinterpret_cast<const char*>(sqlite3_column_text(check.handle, 0))) == "ok";
    }
    if (!sound) {
      CloseDatabase();
      MoveAside();
      if (!OpenDatabase(false)) return;
    }
    writable_ = Migrate();
    return;
  }
  // Not writable: the entries may still be read.
  OpenDatabase(true);
}

bool ReportHistory::OpenDatabase(bool readOnly) {
  if (!readOnly && !Exists(filePath_)) {
    const int fd = NativePath::OpenDescriptor(filePath_, O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return false;
    ::close(fd);
  }
  const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_FULLMUTEX;
  if (sqlite3_open_v2(filePath_.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    CloseDatabase();
    return false;
  }
  sqlite3_busy_timeout(db_, 5000);
  if (readOnly) return true;
  std::error_code ignored;
  std::filesystem::permissions(NativePath::ToFs(filePath_),
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::replace, ignored);
  bool logged = false;
  {
    Statement wal(db_, "PRAGMA journal_mode=WAL;");
    logged = wal && sqlite3_step(wal.handle) == SQLITE_ROW;
  }
  if (!logged) {
    CloseDatabase();
    return false;
  }
  return Execute("PRAGMA synchronous=FULL;");
}

bool ReportHistory::Migrate() {
  if (!Execute("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL);")) return false;
  int version = 0;
  {
    Statement read(db_, "SELECT max(version) FROM schema_version;");
    if (!read || sqlite3_step(read.handle) != SQLITE_ROW) return false;
    version = sqlite3_column_int(read.handle, 0);
  }
  if (version > kSchemaVersion) return false;  // a newer program's file: leave it as it is
  for (int next = version + 1; next <= kSchemaVersion; ++next) {
    if (!Execute("BEGIN IMMEDIATE;")) return false;
    const std::string bump =
        "DELETE FROM schema_version; INSERT INTO schema_version VALUES (" + std::to_string(next) + ");";
    if (!Execute(kMigrations[next - 1]) || !Execute(bump.c_str()) || !Execute("COMMIT;")) {
      Execute("ROLLBACK;");
      return false;
    }
  }
  return true;
}

void ReportHistory::MoveAside() {
  const std::tm local = LocalTime::Now();
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string aside = filePath_ + ".damaged-" + stamp;
  for (int n = 2; Exists(aside); ++n) aside = filePath_ + ".damaged-" + stamp + "-" + std::to_string(n);
  std::error_code error;
  std::filesystem::rename(NativePath::ToFs(filePath_), NativePath::ToFs(aside), error);
  if (error) return;
  damagedCopyPath_ = aside;
  // The log files belong to the damaged file, never to the new one.
  for (const char* suffix : {"-wal", "-shm"}) {
    const std::string log = filePath_ + suffix;
    if (Exists(log)) std::filesystem::rename(NativePath::ToFs(log), NativePath::ToFs(aside + suffix), error);
  }
}

void ReportHistory::CloseDatabase() {
  if (db_ != nullptr) sqlite3_close_v2(db_);
  db_ = nullptr;
}

bool ReportHistory::Execute(const char* sql) {
  return db_ != nullptr && sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool ReportHistory::Add(const HistoryEntry& entry) {
  Ready();
  std::lock_guard<std::mutex> lock(mutex_);
  if (!writable_) return false;
  if (!Execute("BEGIN IMMEDIATE;")) return false;
  bool ok = false;
  {
    Statement insert(db_,
                     "INSERT INTO reports (time, local_path, sent_name, size, sha256, message_id, subject, sender,"
                     " verdict, answer, run) VALUES (?,?,?,?,?,?,?,?,?,?,?);");
    if (insert) {
      sqlite3_bind_int64(insert.handle, 1, entry.time != 0 ? entry.time : std::time(nullptr));
      sqlite3_bind_blob(insert.handle, 2, entry.localPath.data(), static_cast<int>(entry.localPath.size()),
                        SQLITE_TRANSIENT);
      insert.Text(3, entry.sentName);
      sqlite3_bind_int64(insert.handle, 4, entry.size);
      insert.Text(5, entry.sha256);
      insert.Text(6, Utf8Of(entry.messageId));
      insert.Text(7, Utf8Of(entry.subject));
      insert.Text(8, Utf8Of(entry.from));
      sqlite3_bind_int(insert.handle, 9, static_cast<int>(entry.verdict));
      insert.Text(10, Utf8Of(entry.answer.substr(0, Cp949::WholeCharacterPrefix(entry.answer, kAnswerLimit))));
      sqlite3_bind_int64(insert.handle, 11, entry.run);
      ok = sqlite3_step(insert.handle) == SQLITE_DONE;
    }
  }
  if (ok && Execute("COMMIT;")) return true;
  Execute("ROLLBACK;");
  return false;
}

std::vector<HistoryEntry> ReportHistory::Entries() const {
  Ready();
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<HistoryEntry> entries;
  Statement read(db_,
                 "SELECT id, time, local_path, sent_name, size, sha256, message_id, subject, sender, verdict,"
                 " answer, run FROM reports ORDER BY time DESC, id DESC;");
  if (!read) return entries;
  while (sqlite3_step(read.handle) == SQLITE_ROW) {
    sqlite3_stmt* row = read.handle;
    HistoryEntry entry;
    entry.id = sqlite3_column_int64(row, 0);
    entry.time = static_cast<std::time_t>(sqlite3_column_int64(row, 1));
    const void* path = sqlite3_column_blob(row, 2);
    entry.localPath.assign(static_cast<const char*>(path), path != nullptr ? sqlite3_column_bytes(row, 2) : 0);
    entry.sentName = reinterpret_cast<const char*>(sqlite3_column_text(row, 3));
    entry.size = sqlite3_column_int64(row, 4);
    entry.sha256 = reinterpret_cast<const char*>(sqlite3_column_text(row, 5));
    entry.messageId = Cp949Of(sqlite3_column_text(row, 6));
    entry.subject = Cp949Of(sqlite3_column_text(row, 7));
    entry.from = Cp949Of(sqlite3_column_text(row, 8));
    const int verdict = sqlite3_column_int(row, 9);
    entry.verdict =
        verdict == 1 ? ReportVerdict::kAccepted : (verdict == 2 ? ReportVerdict::kRefused : ReportVerdict::kNotSent);
    entry.answer = Cp949Of(sqlite3_column_text(row, 10));
    entry.run = sqlite3_column_int64(row, 11);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::time_t ReportHistory::LastAccepted(const std::string& messageId, const std::string& sha256) const {
  Ready();
  std::lock_guard<std::mutex> lock(mutex_);
  const bool byId = !messageId.empty();
  if (!byId && sha256.empty()) return 0;
  Statement read(db_, byId ? "SELECT max(time) FROM reports WHERE message_id = ? AND verdict = 1;"
                           : "SELECT max(time) FROM reports WHERE sha256 = ? AND verdict = 1;");
  if (!read) return 0;
  read.Text(1, byId ? Utf8Of(messageId) : sha256);
  if (sqlite3_step(read.handle) != SQLITE_ROW) return 0;
  return static_cast<std::time_t>(sqlite3_column_int64(read.handle, 0));
}

long long ReportHistory::LastId() const {
  Ready();
  std::lock_guard<std::mutex> lock(mutex_);
  Statement read(db_, "SELECT max(id) FROM reports;");
  if (!read || sqlite3_step(read.handle) != SQLITE_ROW) return 0;
  return sqlite3_column_int64(read.handle, 0);
}

long long ReportHistory::NextRun() const {
  Ready();
  std::lock_guard<std::mutex> lock(mutex_);
  Statement read(db_, "SELECT max(run) FROM reports;");
  if (!read || sqlite3_step(read.handle) != SQLITE_ROW) return 1;
  return sqlite3_column_int64(read.handle, 0) + 1;
}

namespace {

using DigestContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

DigestContext NewSha256() {
  DigestContext context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  if (context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) context.reset();
  return context;
}

// The digest so far in lower-case hexadecimal; empty when it cannot be had.
std::string HexDigest(EVP_MD_CTX* context) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context, digest, &length) != 1) return std::string();
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0x0F];
  }
  return hex;
}

}  // namespace

std::string ReportHistory::FileSha256(const std::string& nativePath) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(NativePath::ToFs(nativePath), error)) return std::string();
  std::ifstream file(NativePath::ToFs(nativePath), std::ios::binary);
  const DigestContext context = NewSha256();
  if (!file || !context) return std::string();
  char block[65536];
  while (file) {
    file.read(block, sizeof block);
    if (file.gcount() > 0) EVP_DigestUpdate(context.get(), block, static_cast<std::size_t>(file.gcount()));
  }
  if (file.bad()) return std::string();
  return HexDigest(context.get());
}

std::string ReportHistory::Sha256(const char* bytes, std::size_t length) {
  const DigestContext context = NewSha256();
  if (!context || EVP_DigestUpdate(context.get(), bytes, length) != 1) return std::string();
  return HexDigest(context.get());
}

std::string ReportHistory::CsvText(const std::vector<HistoryEntry>& entries) {
  std::string csv = "\xEF\xBB\xBF" + Utf8Of(ReportTexts::Get(ReportTexts::kCsvHeader)) + "\r\n";
  for (const HistoryEntry& entry : entries) {
    const std::string cells[] = {TimeText(entry.time),
                                 NativePath::ToWx(entry.localPath).utf8_string(),
                                 entry.sentName,
                                 std::to_string(entry.size),
                                 entry.sha256,
                                 Utf8Of(entry.messageId),
                                 Utf8Of(entry.subject),
                                 Utf8Of(entry.from),
                                 Utf8Of(VerdictText(entry.verdict)),
                                 Utf8Of(entry.answer),
                                 std::to_string(entry.run)};
    std::string line;
    for (const std::string& cell : cells) line += (line.empty() ? "" : ",") + CsvCell(cell);
    csv += line + "\r\n";
  }
  return csv;
}

const std::string& ReportHistory::VerdictText(ReportVerdict verdict) {
  switch (verdict) {
    case ReportVerdict::kAccepted:
      return ReportTexts::Get(ReportTexts::kVerdictAccepted);
    case ReportVerdict::kRefused:
      return ReportTexts::Get(ReportTexts::kVerdictRefused);
    case ReportVerdict::kNotSent:
      break;
  }
  return ReportTexts::Get(ReportTexts::kVerdictNotSent);
}

void ReportHistory::OnRunStarted() {
  const long long run = NextRun();
  std::lock_guard<std::mutex> lock(mutex_);
  currentRun_ = run;
}

void ReportHistory::OnAttachmentReported(const ReportedAttachment& report, MessageSink& sink) {
  Ready();
  HistoryEntry entry;
  entry.time = std::time(nullptr);
  entry.localPath = report.path;
  entry.sentName = report.serverFileName;
  // What was uploaded is what the entry describes: what was read of the file
  // when it was attached while it is still that file, else the uploaded
  // bytes; the file is read again only when it never was loaded.
  const bool loaded = report.content != nullptr;
  const bool asAttached = loaded && report.attached != nullptr && report.attached->Describes(report.loadedStamp) &&
                          static_cast<long long>(report.contentLength) == report.attached->summary.size;
  const MailSummary summary = asAttached ? report.attached->summary
                              : loaded   ? MailSummary::OfHeaders(report.content, report.contentLength)
                                         : MailSummary::FromFile(report.path);
  entry.size = summary.size;
  entry.sha256 = asAttached ? report.attached->sha256
                 : loaded   ? Sha256(report.content, report.contentLength)
                            : FileSha256(report.path);
  entry.messageId = summary.messageId;
  entry.subject = summary.subject;
  entry.from = summary.from;
  entry.verdict = report.verdict;
  entry.answer = report.answer;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    entry.run = currentRun_;
  }
  const bool kept = Add(entry);
  if (!kept || !damagedCopyPath_.empty()) SayOnce(sink, kept);
}

void ReportHistory::SayOnce(MessageSink& sink, bool kept) {
  if (said_.exchange(true)) return;
  std::string text;
  if (!damagedCopyPath_.empty()) {
    const std::string& format = ReportTexts::Get(ReportTexts::kHistoryDamaged);
    const std::size_t at = format.find("%s");
    text = format.substr(0, at) + NativePath::ToCp949(damagedCopyPath_) + format.substr(at + 2);
  }
  if (!kept) text += (text.empty() ? "" : "\n") + ReportTexts::Get(ReportTexts::kHistoryUnavailable);
  sink.ShowMessage(text, kStyleStop);
}

}  // namespace veradex
