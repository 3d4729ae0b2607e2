#include "platform/TempFolder.h"

#include <wx/string.h>

#include <filesystem>
#include <system_error>

#include "platform/Cp949.h"

namespace veradex {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::filesystem::path NativePath(const std::string& cp949Path) {
  const wxString text = Cp949::ToWx(cp949Path);
#ifdef _WIN32
  return std::filesystem::path(text.ToStdWstring());
#else
  return std::filesystem::path(std::string(text.fn_str()));
#endif
}

}  // namespace

std::string TempFolder::PathOf(const std::string& programDir) { return programDir + "temp" + kSeparator; }

int TempFolder::EmptyFiles(const std::string& programDir) {
  if (programDir.empty()) return 0;
  namespace fs = std::filesystem;
  std::error_code error;
  int deleted = 0;
  for (fs::directory_iterator entry(NativePath(PathOf(programDir)), error), end; !error && entry != end;
       entry.increment(error)) {
    // A link is removed itself, never followed: a link to a folder elsewhere
    // must not cost that folder its files.
    std::error_code statusError;
    const fs::file_status status = entry->symlink_status(statusError);
    if (statusError || fs::is_directory(status)) continue;
    std::error_code removeError;
    if (fs::remove(entry->path(), removeError)) ++deleted;
  }
  return deleted;
}

}  // namespace veradex
