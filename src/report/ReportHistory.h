#pragma once

#include <atomic>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

#include "report/ReportRecorder.h"

struct sqlite3;

namespace veradex {

// One attachment reported, as the history keeps it.
struct HistoryEntry {
  long long id = 0;
  std::time_t time = 0;   // when its report ended
  std::string localPath;  // the file as the file system spells it
  std::string sentName;   // the name it was uploaded under
  long long size = 0;     // bytes of the file when it was reported
  std::string sha256;     // lower-case hexadecimal; empty when the file could not be read
  std::string messageId;  // code page 949, as the mail summary reads them
  std::string subject;
  std::string from;
  ReportVerdict verdict = ReportVerdict::kNotSent;
  std::string answer;  // the centre's answer, at most kAnswerLimit bytes of whole characters
  long long run = 0;   // the run it belonged to: runs count up from 1
};

// The local record of what was reported and what the centre answered: an
// SQLite database "history.sqlite" (mode 0600, write-ahead log) in
// $XDG_DATA_HOME/Ambrel/veradex (by default ~/.local/share/Ambrel/veradex).
// The schema carries its version in the table schema_version and older files
// are brought up to date when opened.
//
// The history never stops a report: a database that cannot be opened or
// written leaves the history unavailable and says so once, through the sink
// of the first report that could not be kept. A file that is not a sound
// database is moved aside as "history.sqlite.damaged-<date>-<time>" (its
// log files with it), a new one is started and the first report says where
// the old one went. A file written by a newer
// program (a schema version above ours) is left alone and not used.
//
// Safe to use from the GUI thread and the report worker at once. Each
// reported attachment is one transaction: a killed process leaves whole rows.
class ReportHistory : public ReportRecorder {
 public:
  static constexpr int kSchemaVersion = 2;
  static constexpr std::size_t kAnswerLimit = 1024;
  static constexpr const char* kFileName = "history.sqlite";

  // folder: where the database lives; empty for DefaultFolder().
  explicit ReportHistory(const std::string& folder = std::string());
  ~ReportHistory() override;
  ReportHistory(const ReportHistory&) = delete;
  ReportHistory& operator=(const ReportHistory&) = delete;

  // $XDG_DATA_HOME/Ambrel/veradex (an absolute XDG_DATA_HOME only), else
  // $HOME/.local/share/Ambrel/veradex.
  static std::string DefaultFolder();

  const std::string& FilePath() const { return filePath_; }
  // False when nothing can be written (the reason was or will be said once).
  bool IsWritable() const {
    Ready();
    return writable_;
  }
  // Where a damaged file was kept; empty when none was found.
  const std::string& DamagedCopyPath() const {
    Ready();
    return damagedCopyPath_;
  }

  // Adds one entry in a transaction of its own (id and run as given; time 0
  // means now). False when the history is unavailable or the write failed.
  bool Add(const HistoryEntry& entry);
  // Every entry, newest first.
  std::vector<HistoryEntry> Entries() const;
  // The moment of the latest accepted report of the same mail: the same
  // Message-ID, or when the mail has none the same SHA-256. 0 when none.
  std::time_t LastAccepted(const std::string& messageId, const std::string& sha256) const;
  // The id of the newest entry (0: none): a cheap test whether anything was added.
  long long LastId() const;
  // The number the next run will get.
  long long NextRun() const;

  // The lower-case hexadecimal SHA-256 of a file; empty when it cannot be read.
  static std::string FileSha256(const std::string& nativePath);
  // The same of bytes in memory.
  static std::string Sha256(const char* bytes, std::size_t length);
  // The entries as a table for spreadsheets: UTF-8 with a byte-order mark,
  // a header line, CR LF line ends, quoted where needed. A cell that a
  // spreadsheet would take for a formula (=, +, -, @ first) is kept as text.
  static std::string CsvText(const std::vector<HistoryEntry>& entries);
  // The verdict's name for people (code page 949).
  static const std::string& VerdictText(ReportVerdict verdict);

  // ReportRecorder: each report ends in a row of the run it belongs to.
  void OnRunStarted() override;
  void OnAttachmentReported(const ReportedAttachment& report, MessageSink& sink) override;

 private:
  // Opens the database at the first use (checking a long history takes a
  // while, and the program starts without needing it).
  void Ready() const;
  void Open();
  bool OpenDatabase(bool readOnly);
  bool Migrate();
  void MoveAside();
  void CloseDatabase();
  bool Execute(const char* sql);
  void SayOnce(MessageSink& sink, bool kept);

  std::string folder_;
  std::string filePath_;
  std::string damagedCopyPath_;
  sqlite3* db_ = nullptr;
  bool writable_ = false;
  std::atomic<bool> said_{false};
  long long currentRun_ = 0;
  mutable std::mutex mutex_;
  mutable std::once_flag opened_;
};

}  // namespace veradex
