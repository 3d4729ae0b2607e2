#include "report/Outbox.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/DurableFile.h"
#include "platform/LocalTime.h"
#include "platform/NativePath.h"
#include "platform/UserFolders.h"
#include "report/MailSummary.h"
#include "report/ReportTexts.h"

namespace veradex {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMagic = "veradex-outbox 1\n";
constexpr const char* kNewPrefix = ".new-";
constexpr const char* kGonePrefix = ".gone-";
constexpr const char* kDamagedInfix = ".damaged-";

std::string Join(const std::string& folder, const std::string& name) { return folder + NativePath::kSeparator + name; }

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool ReadWhole(const std::string& path, std::string* bytes, long long limit) {
  std::error_code error;
  const auto size = fs::file_size(fs::path(path), error);
  if (error || static_cast<long long>(size) > limit) return false;
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream out;
  out << file.rdbuf();
  if (file.bad()) return false;
  *bytes = out.str();
  return true;
}

std::string Stamp(std::time_t moment, const char* format) {
  const std::tm local = LocalTime::From(moment);
  char text[32];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

// A file name the folder does not hold yet, ending as the original does: the
// worker takes the server file name's extension from a path's last three
// characters.
std::string FreeName(const std::string& original, const std::vector<OutboxFile>& taken) {
  std::size_t slash = original.find_last_of("/\\");
  std::string base = slash == std::string::npos ? original : original.substr(slash + 1);
  if (base.empty() || base == Outbox::kRecordName || StartsWith(base, ".")) base = "mail" + base;
  const auto used = [&taken](const std::string& name) {
    return name == Outbox::kRecordName ||
           std::any_of(taken.begin(), taken.end(), [&name](const OutboxFile& f) { return f.name == name; });
  };
  if (!used(base)) return base;
  const std::size_t dot = base.find_last_of('.');
  const std::string stem = dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
  const std::string tail = dot == std::string::npos || dot == 0 ? std::string() : base.substr(dot);
  for (int n = 2;; ++n) {
    const std::string name = stem + "-" + std::to_string(n) + tail;
    if (!used(name)) return name;
  }
}

// The record: "key length\n" followed by that many bytes and "\n", field by
// field, so any byte may stand in a value.
void Field(std::string& out, const char* key, const std::string& value) {
  out += key;
  out += ' ';
  out += std::to_string(value.size());
  out += '\n';
  out += value;
  out += '\n';
}

class RecordReader {
 public:
  explicit RecordReader(const std::string& text) : text_(text) {}
  // The next field; false at the end or when the text is not well formed.
  bool Next(std::string* key, std::string* value) {
    const std::size_t space = text_.find(' ', at_);
    const std::size_t line = text_.find('\n', at_);
    if (space == std::string::npos || line == std::string::npos || space > line) return false;
    *key = text_.substr(at_, space - at_);
    const std::string digits = text_.substr(space + 1, line - space - 1);
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
      return false;
    const std::size_t length = std::stoul(digits);
    if (line + 1 + length + 1 > text_.size() || text_[line + 1 + length] != '\n') return false;
    *value = text_.substr(line + 1, length);
    at_ = line + 1 + length + 1;
    return true;
  }
  bool AtEnd() const { return at_ == text_.size(); }

 private:
  const std::string& text_;
  std::size_t at_ = 0;
};

bool ToNumber(const std::string& text, long long* number) {
  if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  *number = std::stoll(text);
  return true;
}

}  // namespace

std::string OutboxEntry::PathOf(const OutboxFile& file) const { return Join(folder, file.name); }

ReportForm OutboxEntry::Form() const {
  ReportForm sent = form;
  sent.attachmentPaths.clear();
  for (const OutboxFile& file : waiting) sent.attachmentPaths.push_back(PathOf(file));
  return sent;
}

long long OutboxEntry::WaitingBytes() const {
  long long total = 0;
  for (const OutboxFile& file : waiting) total += file.size;
  return total;
}

Outbox::Outbox(const std::string& folder) : folder_(folder.empty() ? DefaultFolder() : folder) {
  while (folder_.size() > 1 && (folder_.back() == '/' || folder_.back() == NativePath::kSeparator)) folder_.pop_back();
}

std::string Outbox::DefaultFolder() { return UserFolders::Base(UserFolders::Kind::kData) + "/Ambrel/veradex/outbox"; }

void Outbox::Step(const char* step) const {
  if (stepHook_) stepHook_(step);
}

void Outbox::Load() const {
  if (loaded_) return;
  loaded_ = true;
  const_cast<Outbox*>(this)->Scan();
}

void Outbox::Scan() {
  UserFolders::MakePrivate(folder_);
  std::error_code error;
  std::vector<std::string> names;
  for (fs::directory_iterator it(fs::path(folder_), error), end; !error && it != end; it.increment(error)) {
    if (it->is_directory(error)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  const std::time_t now = std::time(nullptr);
  for (const std::string& name : names) {
    // What a crash left half made or half removed was never (or no longer) an entry.
    if (StartsWith(name, kNewPrefix) || StartsWith(name, kGonePrefix)) {
      fs::remove_all(fs::path(Join(folder_, name)), error);
      continue;
    }
    if (name.find(kDamagedInfix) != std::string::npos || StartsWith(name, ".")) continue;
    OutboxEntry entry;
    if (!ReadEntry(name, &entry)) {
      MoveAside(name);
      continue;
    }
    if (entry.waiting.empty() && entry.created + kKeptSeconds < now) {
      Remove(name);
      continue;
    }
    entries_.push_back(std::move(entry));
  }
}

bool Outbox::ReadEntry(const std::string& id, OutboxEntry* entry) const {
  const std::string folder = Join(folder_, id);
  std::error_code error;
  // A new record that never replaced the old one: the old one stands.
  fs::remove(fs::path(Join(folder, std::string(kRecordName) + ".new")), error);
  std::string text;
  if (!ReadWhole(Join(folder, kRecordName), &text, 1 << 20) || !ParseRecord(text, entry)) return false;
  entry->id = id;
  entry->folder = folder;
  for (const OutboxFile& file : entry->waiting) {
    const auto size = fs::file_size(fs::path(entry->PathOf(file)), error);
    if (error || static_cast<long long>(size) != file.size) return false;
  }
  return true;
}

void Outbox::MoveAside(const std::string& id) {
  const std::string stamp = Stamp(std::time(nullptr), "%Y%m%d-%H%M%S");
  std::string aside = Join(folder_, id + kDamagedInfix + stamp);
  std::error_code error;
  for (int n = 2; fs::exists(fs::path(aside), error); ++n)
    aside = Join(folder_, id + kDamagedInfix + stamp + "-" + std::to_string(n));
  if (DurableFile::Rename(Join(folder_, id), aside)) damaged_.push_back(aside);
}

std::string Outbox::TakeDamagedNotice() {
  std::lock_guard<std::mutex> lock(mutex_);
  Load();
  if (damaged_.empty() || damagedSaid_) return std::string();
  damagedSaid_ = true;
  std::string where;
  for (const std::string& path : damaged_) where += (where.empty() ? "" : "\n") + NativePath::ToCp949(path);
  const std::string& format = ReportTexts::Get(ReportTexts::kOutboxDamaged);
  const std::size_t at = format.find("%s");
  return format.substr(0, at) + where + format.substr(at + 2);
}

long long Outbox::WaitingBytesLocked() const {
  long long total = 0;
  for (const OutboxEntry& entry : entries_) total += entry.WaitingBytes();
  return total;
}

Outbox::Room Outbox::RoomFor(long long bytes) const {
  std::lock_guard<std::mutex> lock(mutex_);
  Load();
  const auto waiting =
      std::count_if(entries_.begin(), entries_.end(), [](const OutboxEntry& e) { return !e.waiting.empty(); });
  if (waiting >= kMaxEntries) return Room::kTooMany;
  if (WaitingBytesLocked() + bytes > kMaxBytes) return Room::kTooLarge;
  return Room::kFits;
}

std::string Outbox::RoomText(Room room) {
  char text[512];
  switch (room) {
    case Room::kTooMany:
      std::snprintf(text, sizeof text, ReportTexts::Get(ReportTexts::kOutboxTooMany).c_str(), kMaxEntries);
      return text;
    case Room::kTooLarge:
      std::snprintf(text, sizeof text, ReportTexts::Get(ReportTexts::kOutboxTooLarge).c_str(),
                    static_cast<int>(kMaxBytes / (1024 * 1024)));
      return text;
    case Room::kFits:
      break;
  }
  return std::string();
}

std::string Outbox::Add(const ReportForm& form, std::time_t now) {
  if (now == 0) now = std::time(nullptr);
  // The copies first, outside the lock: the sizes decide the room.
  std::vector<std::string> contents;
  long long bytes = 0;
  for (const std::string& path : form.attachmentPaths) {
    std::string content;
    if (!ReadWhole(path, &content, kMaxBytes)) return std::string();
    bytes += static_cast<long long>(content.size());
    contents.push_back(std::move(content));
  }
  if (form.attachmentPaths.empty() || RoomFor(bytes) != Room::kFits) return std::string();

  std::lock_guard<std::mutex> lock(mutex_);
  OutboxEntry entry;
  entry.created = now;
  entry.form = form;
  // What the list read of the originals does not describe the copies.
  entry.form.attachmentPaths.clear();
  entry.form.attachedMails.clear();
  char serial[32];
  std::snprintf(serial, sizeof serial, "-%05d", ++made_ % 100000);
  std::string id = Stamp(now, "%Y%m%d-%H%M%S") + serial;
  std::error_code error;
  for (int n = 2; fs::exists(fs::path(Join(folder_, id)), error); ++n)
    id = Stamp(now, "%Y%m%d-%H%M%S") + serial + "-" + std::to_string(n);
  entry.id = id;
  entry.folder = Join(folder_, id);

  const std::string building = Join(folder_, kNewPrefix + id);
  UserFolders::MakePrivate(folder_);
  if (!DurableFile::MakeFolder(building)) return std::string();
  bool ok = true;
  for (std::size_t i = 0; ok && i < contents.size(); ++i) {
    OutboxFile file;
    file.original = form.attachmentPaths[i];
    file.name = FreeName(file.original, entry.waiting);
    file.size = static_cast<long long>(contents[i].size());
    const MailSummary summary = MailSummary::OfHeaders(contents[i].data(), contents[i].size());
    file.subject = summary.subject;
    file.from = summary.from;
    ok = DurableFile::WriteNew(Join(building, file.name), contents[i]);
    entry.waiting.push_back(std::move(file));
  }
  Step("copied");
  ok = ok && DurableFile::WriteNew(Join(building, kRecordName), RecordText(entry));
  Step("recorded");
  ok = ok && DurableFile::SyncFolder(building) && DurableFile::Rename(building, entry.folder);
  if (!ok) {
    fs::remove_all(fs::path(building), error);
    return std::string();
  }
  Step("placed");
  entries_.push_back(entry);
  return id;
}

std::vector<OutboxEntry> Outbox::Waiting() const {
  std::lock_guard<std::mutex> lock(mutex_);
  Load();
  std::vector<OutboxEntry> waiting;
  for (const OutboxEntry& entry : entries_)
    if (!entry.waiting.empty()) waiting.push_back(entry);
  return waiting;
}

int Outbox::WaitingCount() const { return static_cast<int>(Waiting().size()); }

bool Outbox::Find(const std::string& id, OutboxEntry* entry) const {
  std::lock_guard<std::mutex> lock(mutex_);
  Load();
  for (const OutboxEntry& candidate : entries_) {
    if (candidate.id != id) continue;
    *entry = candidate;
    return true;
  }
  return false;
}

bool Outbox::Rewrite(OutboxEntry& entry) {
  const std::string record = Join(entry.folder, kRecordName);
  const std::string fresh = record + ".new";
  std::error_code error;
  fs::remove(fs::path(fresh), error);
  if (!DurableFile::WriteNew(fresh, RecordText(entry)) || !DurableFile::Rename(fresh, record)) {
    fs::remove(fs::path(fresh), error);
    return false;
  }
  // Copies the record no longer names.
  for (fs::directory_iterator it(fs::path(entry.folder), error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    const auto named = [&name](const std::vector<OutboxFile>& files) {
      return std::any_of(files.begin(), files.end(), [&name](const OutboxFile& f) { return f.name == name; });
    };
    if (name != kRecordName && !named(entry.waiting) && !named(entry.kept)) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
  return true;
}

bool Outbox::Remove(const std::string& id) {
  // Renamed away first, so a crash in the middle leaves no half entry.
  const std::string gone = Join(folder_, kGonePrefix + id);
  if (!DurableFile::Rename(Join(folder_, id), gone)) return false;
  std::error_code error;
  fs::remove_all(fs::path(gone), error);
  return true;
}

bool Outbox::Settle(const std::string& id, const std::vector<std::size_t>& received,
                    const std::vector<std::size_t>& refused) {
  std::lock_guard<std::mutex> lock(mutex_);
  Load();
  const auto found = std::find_if(entries_.begin(), entries_.end(), [&id](const OutboxEntry& e) { return e.id == id; });
  if (found == entries_.end()) return false;
  OutboxEntry entry = *found;
  std::vector<OutboxFile> waiting;
  for (std::size_t i = 0; i < found->waiting.size(); ++i) {
    const auto in = [i](const std::vector<std::size_t>& list) {
      return std::find(list.begin(), list.end(), i) != list.end();
    };
    if (in(received)) continue;
    if (in(refused))
      entry.kept.push_back(found->waiting[i]);
    else
      waiting.push_back(found->waiting[i]);
  }
  entry.waiting = std::move(waiting);
  Step("settled");
  if (entry.waiting.empty() && entry.kept.empty()) {
    if (!Remove(id)) return false;
    entries_.erase(found);
    return true;
  }
  if (!Rewrite(entry)) return false;
  *found = std::move(entry);
  return true;
}

bool Outbox::Cancel(const std::string& id) {
  std::lock_guard<std::mutex> lock(mutex_);
  Load();
  const auto found = std::find_if(entries_.begin(), entries_.end(), [&id](const OutboxEntry& e) { return e.id == id; });
  if (found == entries_.end() || !Remove(id)) return false;
  entries_.erase(found);
  return true;
}

std::string Outbox::RecordText(const OutboxEntry& entry) {
  std::string out = kMagic;
  Field(out, "created", std::to_string(static_cast<long long>(entry.created)));
  Field(out, "name", entry.form.name);
  Field(out, "email", entry.form.email);
  Field(out, "tel1", entry.form.tel1);
  Field(out, "tel2", entry.form.tel2);
  Field(out, "tel3", entry.form.tel3);
  Field(out, "content", entry.form.content);
  Field(out, "password", entry.form.password);
  for (const auto* list : {&entry.waiting, &entry.kept}) {
    for (const OutboxFile& file : *list) {
      Field(out, list == &entry.waiting ? "waiting" : "kept", file.name);
      Field(out, "original", file.original);
      Field(out, "size", std::to_string(file.size));
      Field(out, "subject", file.subject);
      Field(out, "from", file.from);
    }
  }
  Field(out, "end", std::string());
  return out;
}

bool Outbox::ParseRecord(const std::string& text, OutboxEntry* entry) {
  if (!StartsWith(text, kMagic)) return false;
  const std::string body = text.substr(std::string(kMagic).size());
  RecordReader reader(body);
  OutboxEntry read;
  OutboxFile* file = nullptr;
  std::string key, value;
  bool ended = false, created = false;
  std::string* const fields[] = {&read.form.name, &read.form.email,   &read.form.tel1,    &read.form.tel2,
                                 &read.form.tel3, &read.form.content, &read.form.password};
  const char* const names[] = {"name", "email", "tel1", "tel2", "tel3", "content", "password"};
  while (!ended && reader.Next(&key, &value)) {
    long long number = 0;
    if (key == "end") {
      ended = true;
    } else if (key == "created") {
      if (!ToNumber(value, &number)) return false;
      read.created = static_cast<std::time_t>(number);
      created = true;
    } else if (key == "waiting" || key == "kept") {
      // A name that could leave the folder is no copy of ours.
      if (value.empty() || value == kRecordName || value.find_first_of("/\\") != std::string::npos ||
          StartsWith(value, "."))
        return false;
      auto& list = key == "waiting" ? read.waiting : read.kept;
      list.push_back(OutboxFile());
      file = &list.back();
      file->name = value;
    } else if (key == "original" || key == "size" || key == "subject" || key == "from") {
      if (file == nullptr) return false;
      if (key == "original") file->original = value;
      if (key == "subject") file->subject = value;
      if (key == "from") file->from = value;
      if (key == "size" && !ToNumber(value, &file->size)) return false;
    } else {
      const auto at = std::find_if(std::begin(names), std::end(names), [&key](const char* n) { return key == n; });
      if (at == std::end(names)) return false;
      *fields[at - std::begin(names)] = value;
    }
  }
  if (!ended || !created || !reader.AtEnd()) return false;
  *entry = std::move(read);
  return true;
}

}  // namespace veradex
