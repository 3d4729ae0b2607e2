#include "profile/ConfigProfileStore.h"

#include <wx/buffer.h>
#include <wx/confbase.h>
#include <wx/log.h>
#include <wx/string.h>

#include "platform/Cp949.h"
#include "platform/LocalTime.h"
#include "platform/UserFolders.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/fileconf.h>
#include <wx/mstream.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace veradex {

namespace {

// Text that is whole code page 949 characters comes back from wxString
// unchanged; anything else would be altered by the round trip.
bool RoundTrips(const std::string& bytes, wxString* text) {
  *text = Cp949::ToWx(bytes);
  std::string back;
  return Cp949::FromWx(*text, &back) && back == bytes;
}

// ---------------------------------------------------------------------------
// Reading the file: which lines can be used.

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t length;
    unsigned long code;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
      code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      code = c & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += length;
  }
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// The line forms of the profile file: blank, comment (';' or '#'), section
// header "[name]" optionally followed by a comment, or "name=value" with a
// name of at least one character and no blanks inside.
bool IsWellFormedLine(const std::string& line) {
  std::size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i == line.size() || line[i] == ';' || line[i] == '#') return true;
  if (line[i] == '[') {
    std::size_t close = i + 1;
    for (; close < line.size() && line[close] != ']'; ++close) {
      if (line[close] == '\\') ++close;
    }
    if (close >= line.size()) return false;
    std::size_t rest = close + 1;
    while (rest < line.size() && IsBlank(line[rest])) ++rest;
    return rest == line.size() || line[rest] == ';' || line[rest] == '#';
  }
  // The name: the reader undoes its escapes and trims blanks from its end,
  // so it needs one character that is not blank once unescaped.
  std::size_t end = i;
  bool named = false;
  for (; end < line.size() && line[end] != '=' && !IsBlank(line[end]); ++end) {
    if (line[end] == '\\') ++end;
    if (end < line.size() && !IsBlank(line[end])) named = true;
  }
  if (!named || end > line.size()) return false;
  while (end < line.size() && IsBlank(line[end])) ++end;
  return end < line.size() && line[end] == '=';
}

// The name of a section header line ("[name]", backslash escapes undone), as
// the configuration reader takes it.
std::string SectionName(const std::string& line) {
  std::size_t i = line.find('[') + 1;
  std::string name;
  for (; i < line.size() && line[i] != ']'; ++i) {
    if (line[i] == '\\' && i + 1 < line.size()) ++i;
    name += line[i];
  }
  return name;
}

// Keeps the usable lines of the file as UTF-8 text. A line in code page 949
// (the file edited by a tool that does not write UTF-8) is converted; a line
// with bytes that are text in neither, or in no line form, is left out. A
// section that appears again (two files run together, say) is merged into
// its first appearance (names compared as the reader does, ignoring case),
// since the reader can hold each section once only; a
// section whose name is a path ("a/b", ".", "..", empty) is left out with its
// values, since the reader would take it as another section or none.
// Returns false when anything had to be converted, merged, unmarked or left out.
bool CleanProfileText(std::string bytes, std::string* clean) {
  bool sound = true;
  // Byte order marks before the first line, however many: the reader takes
  // one away, and a second one would come back as a name of its own that
  // the next start would read as a byte order mark again.
  while (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  // The lines before any section, then each section: its header and lines.
  std::vector<std::string> names = {std::string()};
  std::vector<std::string> sections = {std::string()};
  std::size_t current = 0;
  bool skipping = false;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A byte order mark at the start of a line further down would start a
    // name, and the file written next might begin with it (the lines before
    // left out), where it is read as the file's own mark: it goes.
    if (line.compare(0, 3, "\xEF\xBB\xBF") == 0) {
      sound = false;
      while (line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    }
    // A zero byte is no text; a carriage return inside a line would end it
    // for the reader (an old Mac line end) but not here.
    if (line.find_first_of(std::string("\0\r", 2)) != std::string::npos) {
      sound = false;
      continue;
    }
    if (!IsUtf8(line)) {
      sound = false;
      wxString text;
      if (!Cp949::IsValid(line) || !RoundTrips(line, &text)) continue;
      const wxScopedCharBuffer utf8 = text.utf8_str();
      line.assign(utf8.data(), utf8.length());
    }
    // A name that begins with '!' (escaped or not) marks, for the reader, a
    // value nobody may change: a later change would be dropped while
    // reported as made. This program writes no such names; the mark goes
    // and the value stays an ordinary one.
    for (std::size_t name = line.find_first_not_of(" \t\v\f"); name != std::string::npos;) {
      const std::size_t mark = line[name] == '\\' ? name + 1 : name;
      if (mark >= line.size() || line[mark] != '!') break;
      line.erase(name, mark - name + 1);
      sound = false;
    }
    if (!IsWellFormedLine(line)) {
      sound = false;
      continue;
    }
    const auto first = line.find_first_not_of(" \t\v\f");
    if (first != std::string::npos && line[first] == '[') {
      const std::string name = SectionName(line);
      skipping = name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos;
      if (skipping) {
        sound = false;
        continue;
      }
      // The reader finds sections whatever their case.
      const std::string key(wxString::FromUTF8(name).Lower().utf8_str());
      current = std::find(names.begin(), names.end(), key) - names.begin();
      if (current < names.size() && current > 0) {
        sound = false;
        continue;
      }
      names.push_back(key);
      sections.push_back(line + '\n');
      current = names.size() - 1;
      continue;
    }
    if (skipping) {
      sound = false;
      continue;
    }
    sections[current] += line;
    sections[current] += '\n';
  }
  clean->clear();
  for (const std::string& section : sections) *clean += section;
  return sound;
}

// ---------------------------------------------------------------------------
// Files.

enum class ReadResult { kRead, kMissing, kFailed };

ReadResult ReadWholeFile(const std::string& path, std::string* bytes) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return errno == ENOENT ? ReadResult::kMissing : ReadResult::kFailed;
  if (!S_ISREG(info.st_mode)) return ReadResult::kFailed;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ReadResult::kFailed;
  bytes->clear();
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      ::close(fd);
      return ReadResult::kFailed;
    }
    if (count == 0) break;
    bytes->append(buffer, static_cast<std::size_t>(count));
  }
  ::close(fd);
  return ReadResult::kRead;
}

// A write beyond the file-size limit (RLIMIT_FSIZE) must fail like any other
// (EFBIG) instead of ending the program with SIGXFSZ, which would lose what
// the user has typed. The signal is held for this thread while a file is
// written, and one raised meanwhile is taken away before it is let go.
class FileSizeSignalHeld {
 public:
  FileSizeSignalHeld() {
    sigemptyset(&held_);
    sigaddset(&held_, SIGXFSZ);
    pthread_sigmask(SIG_BLOCK, &held_, &before_);
  }
  ~FileSizeSignalHeld() {
    sigset_t pending;
    if (sigismember(&before_, SIGXFSZ) != 1 && sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ) == 1) {
      const timespec now{0, 0};
      sigtimedwait(&held_, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &before_, nullptr);
  }
  FileSizeSignalHeld(const FileSizeSignalHeld&) = delete;
  FileSizeSignalHeld& operator=(const FileSizeSignalHeld&) = delete;

 private:
  sigset_t held_;
  sigset_t before_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
  const FileSizeSignalHeld held;
  while (size > 0) {
    const ssize_t count = ::write(fd, data, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    data += count;
    size -= static_cast<std::size_t>(count);
  }
  return true;
}

// Replaces the file at path with bytes in one step: a reader sees either the
// old or the new file, never half of one, even if the program dies while
// writing. The file is private to the user (it holds the program password).
bool ReplaceFile(const std::string& path, const std::string& bytes) {
  std::string target = path;
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) != nullptr) target = resolved;  // write through a symbolic link
  std::string temp = target + ".XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  temp = name.data();
  const bool written = ::fchmod(fd, 0600) == 0 && WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !written || ::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

// A name beside path for a damaged file that is not taken yet.
std::string AsideName(const std::string& path) {
  const std::tm local = LocalTime::Now();
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = path + ".damaged-" + stamp;
  std::string candidate = base;
  struct stat info;
  for (int n = 2; ::lstat(candidate.c_str(), &info) == 0; ++n) candidate = base + "-" + std::to_string(n);
  return candidate;
}

// Writes a copy of bytes under a new name; false when it cannot.
bool KeepCopy(const std::string& copyPath, const std::string& bytes) {
  const int fd = ::open(copyPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !written) {
    ::unlink(copyPath.c_str());
    return false;
  }
  return true;
}

}  // namespace

ConfigProfileStore::ConfigProfileStore(const std::string& applicationName, const std::string& folder)
    : applicationName_(applicationName), folder_(folder.empty() ? DefaultFolder() : folder) {
  while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
  filePath_ = folder_ + "/" + applicationName_ + ".conf";
  Open();
}

ConfigProfileStore::~ConfigProfileStore() = default;

std::string ConfigProfileStore::DefaultFolder() { return UserFolders::Base(UserFolders::Kind::kConfig) + "/Ambrel"; }

void ConfigProfileStore::Open() {
  // Problems with the file are handled here; nothing may pop up a log window.
  wxLogNull quiet;
  std::string bytes;
  std::string clean;
  switch (ReadWholeFile(filePath_, &bytes)) {
    case ReadResult::kMissing:
      break;
    case ReadResult::kRead:
      // clean: the usable lines of the file, the whole file when it is sound.
      if (!CleanProfileText(bytes, &clean)) {
        damaged_ = true;
        const std::string copy = AsideName(filePath_);
        if (KeepCopy(copy, bytes))
          damagedCopyPath_ = copy;
        else
          persistent_ = false;  // never overwrite the only copy of the damaged values
      }
      break;
    case ReadResult::kFailed: {
      damaged_ = true;
      const std::string aside = AsideName(filePath_);
      if (::rename(filePath_.c_str(), aside.c_str()) == 0)
        damagedCopyPath_ = aside;
      else
        persistent_ = false;
      break;
    }
  }
  wxMemoryInputStream stream(clean.data(), clean.size());
  config_ = std::make_unique<wxFileConfig>(stream, wxConvUTF8);
  config_->SetExpandEnvVars(false);
  if (damaged_ && persistent_) Flush();  // the clean file replaces the damaged one at once
}

std::string ConfigProfileStore::KeyOf(const std::string& section, const std::string& entry) const {
  return "/" + section + "/" + entry;
}

std::string ConfigProfileStore::GetProfileString(const std::string& section, const std::string& entry,
                                                 const std::string& defaultValue) const {
  std::lock_guard<std::mutex> lock(mutex_);
  wxLogNull quiet;
  wxString value;
  if (!config_->Read(wxString::FromUTF8(KeyOf(section, entry)), &value)) return defaultValue;
  // A value edited by hand may hold characters code page 949 lacks; they
  // read as '?' rather than losing the whole value.
  return Cp949::FromWxLossy(value);
}

bool ConfigProfileStore::WriteProfileString(const std::string& section, const std::string& entry,
                                            const std::string& text) {
  wxString value;
  if (!RoundTrips(text, &value)) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  wxLogNull quiet;
  const wxString key = wxString::FromUTF8(KeyOf(section, entry));
  // The value the file already holds (the program folder, written on every
  // start) changes nothing: the file is not written and synced again for it.
  wxString stored;
  if (persistent_ && !unsaved_ && config_->Read(key, &stored) && stored == value) return true;
  if (!config_->Write(key, value)) return false;
  return Flush();
}

bool ConfigProfileStore::WriteProfileBinary(const std::string& section, const std::string& entry,
                                            const std::string& bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  wxLogNull quiet;
  wxMemoryBuffer buffer;
  buffer.AppendData(bytes.data(), bytes.size());
  if (!config_->Write(wxString::FromUTF8(KeyOf(section, entry)), buffer)) return false;
  return Flush();
}

bool ConfigProfileStore::GetProfileBinary(const std::string& section, const std::string& entry,
                                          std::string* bytes) const {
  std::lock_guard<std::mutex> lock(mutex_);
  wxLogNull quiet;
  wxMemoryBuffer buffer;
  if (!config_->Read(wxString::FromUTF8(KeyOf(section, entry)), &buffer)) return false;
  bytes->assign(static_cast<const char*>(buffer.GetData()), buffer.GetDataLen());
  return true;
}

bool ConfigProfileStore::Flush() {
  if (!persistent_) return false;
  wxMemoryOutputStream out;
  if (!static_cast<wxFileConfig*>(config_.get())->Save(out, wxConvUTF8)) return false;
  std::string text(out.GetLength(), '\0');
  if (!text.empty()) out.CopyTo(&text[0], text.size());
  UserFolders::MakePrivate(folder_);
  unsaved_ = !ReplaceFile(filePath_, text);
  return !unsaved_;
}

}  // namespace veradex
