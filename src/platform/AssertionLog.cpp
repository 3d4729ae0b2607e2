#include "platform/AssertionLog.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "platform/LocalTime.h"
#include "platform/UserFolders.h"

namespace veradex {

namespace {

namespace fs = std::filesystem;

// One writer at a time: assertions may fail on the report worker too.
std::mutex& LogLock() {
  static std::mutex lock;
  return lock;
}

void RotateIfFull(const fs::path& file) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(file, error);
  if (error || size < AssertionLog::kRotateBytes) return;
  fs::path older = file;
  older += ".1";
  fs::rename(file, older, error);
}

bool WriteLine(const fs::path& file, const std::string& text) {
  const std::string line = text + "\n";
#ifdef _WIN32
  std::FILE* out = std::fopen(file.string().c_str(), "ab");
  if (out == nullptr) return false;
  const bool written = std::fwrite(line.data(), 1, line.size(), out) == line.size();
  return std::fclose(out) == 0 && written;
#else
  // Never through a link: the file is ours and only ours.
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::fchmod(fd, 0600);
  const bool written = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
  return ::close(fd) == 0 && written;
#endif
}

}  // namespace

std::string AssertionLog::DefaultPath() {
  const std::string base = UserFolders::Base(UserFolders::Kind::kState);
  if (base.empty()) return std::string();
  return (fs::path(base) / "Ambrel" / "veradex" / "veradex.log").string();
}

std::string AssertionLog::FormatLine(const wxString& file, int line, const wxString& function,
                                     const wxString& condition, const wxString& message) {
  const std::tm now = LocalTime::Now();
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &now);
  wxString text = wxString::Format("%s veradex: assertion failed at %s:%d", stamp, file, line);
  if (!function.empty()) text += wxString::Format(" in %s()", function);
  text += ": " + condition;
  if (!message.empty()) text += " - " + message;
  return std::string(text.utf8_str());
}

bool AssertionLog::Append(const std::string& path, const std::string& text) {
  if (path.empty()) return false;
  std::lock_guard<std::mutex> guard(LogLock());
  const fs::path file(path);
  if (!UserFolders::MakePrivate(file.parent_path().string())) return false;
  RotateIfFull(file);
  return WriteLine(file, text);
}

void AssertionLog::Handler(const wxString& file, int line, const wxString& function, const wxString& condition,
                           const wxString& message) {
  const std::string text = FormatLine(file, line, function, condition, message);
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
  Append(DefaultPath(), text);
}

}  // namespace veradex
