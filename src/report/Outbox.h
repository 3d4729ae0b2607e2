#pragma once

#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "report/ReportForm.h"

namespace veradex {

// One attached mail of a waiting report: its copy in the entry's folder.
struct OutboxFile {
  std::string name;      // the copy's name in the entry's folder
  std::string original;  // where the user had it, as the file system spells it
  long long size = 0;
  std::string subject, from;  // code page 949, from the mail's headers when it was kept
};

// A report kept for later: the personal data and the description as they
// were sent, and copies of the attachments still to be reported ("waiting")
// and of those the centre refused ("kept", for 다시 보내기; they no longer wait).
struct OutboxEntry {
  std::string id;  // the entry's folder name; ids sort by the time they were made
  std::time_t created = 0;
  ReportForm form;  // attachmentPaths empty: see Form()
  std::vector<OutboxFile> waiting;
  std::vector<OutboxFile> kept;
  std::string folder;  // the entry's folder, as the file system spells it

  std::string PathOf(const OutboxFile& file) const;
  // The form to send: the stored data with the waiting copies attached.
  ReportForm Form() const;
  long long WaitingBytes() const;
};

// Reports that could not reach the centre, kept on disk until they are sent:
// <data folder>/Ambrel/veradex/outbox/<id>/ (folders 0700, files 0600), each
// entry a folder with copies of its mails and a record ("record") of the rest.
//
// An entry is written in a folder named ".new-<id>" (every file flushed to
// the disk, the folder too), then renamed into place: a crash leaves the
// whole entry or none, and a ".new-" folder found later is removed. A record
// is changed by writing a new one beside it and renaming it over the old.
// An entry folder that cannot be read back (no record, a record cut short,
// a copy missing or of another size) is kept aside as
// "<id>.damaged-<date>-<time>" and said once (TakeDamagedNotice).
//
// At most kMaxEntries waiting reports and kMaxBytes of waiting copies.
// Safe to use from the GUI thread and a sending thread at once.
class Outbox {
 public:
  static constexpr int kMaxEntries = 50;
  static constexpr long long kMaxBytes = 50LL * 1024 * 1024;
  static constexpr const char* kRecordName = "record";
  // Entries that no longer wait (only refused copies kept) go after this long.
  static constexpr std::time_t kKeptSeconds = 30 * 24 * 3600;

  // folder: where the entries live; empty for DefaultFolder().
  explicit Outbox(const std::string& folder = std::string());

  // $XDG_DATA_HOME/Ambrel/veradex/outbox (by default ~/.local/share/...).
  static std::string DefaultFolder();
  const std::string& Folder() const { return folder_; }

  enum class Room { kFits, kTooMany, kTooLarge };
  // Whether a report with attachments of these sizes may still be kept.
  Room RoomFor(long long bytes) const;
  // The message (code page 949) for a report that does not fit.
  static std::string RoomText(Room room);

  // Keeps a report: copies its attachments (form.attachmentPaths) and writes
  // its record, durably. The new entry's id; empty when it could not be
  // written or does not fit (nothing of it is left behind then).
  std::string Add(const ReportForm& form, std::time_t now = 0);

  // The waiting entries, oldest first.
  std::vector<OutboxEntry> Waiting() const;
  int WaitingCount() const;
  bool Find(const std::string& id, OutboxEntry* entry) const;

  // After a try: the attachments (indices into Form().attachmentPaths) the
  // centre received leave, the refused ones are kept but no longer wait, the
  // others wait on. An entry with nothing left goes altogether.
  bool Settle(const std::string& id, const std::vector<std::size_t>& received, const std::vector<std::size_t>& refused);
  // Removes an entry and every copy of it.
  bool Cancel(const std::string& id);

  // Once: which damaged entries were kept aside (code page 949); empty when
  // none were found or it was said already.
  std::string TakeDamagedNotice();

  // The record's text and its reading (false: not a sound record).
  static std::string RecordText(const OutboxEntry& entry);
  static bool ParseRecord(const std::string& text, OutboxEntry* entry);

  // For tests: called with the name of each step of writing an entry
  // ("copied", "recorded", "placed") and of changing one ("settled").
  void SetStepHook(std::function<void(const char* step)> hook) { stepHook_ = std::move(hook); }

 private:
  void Load() const;
  void Scan();
  bool ReadEntry(const std::string& id, OutboxEntry* entry) const;
  void MoveAside(const std::string& id);
  bool Rewrite(OutboxEntry& entry);
  bool Remove(const std::string& id);
  void Step(const char* step) const;
  long long WaitingBytesLocked() const;

  std::string folder_;
  mutable std::mutex mutex_;
  mutable bool loaded_ = false;
  std::vector<OutboxEntry> entries_;  // every sound entry, waiting or only kept, oldest first
  std::vector<std::string> damaged_;  // where damaged entries went
  bool damagedSaid_ = false;
  int made_ = 0;
  std::function<void(const char*)> stepHook_;
};

}  // namespace veradex
