#include "platform/TempFolder.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include <wx/string.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/Cp949.h"
#include "platform/NativePath.h"
#include "platform/UserFolders.h"

namespace veradex {

namespace {

std::filesystem::path NativePathOf(const std::string& cp949Path) {
  const wxString text = Cp949::ToWx(cp949Path);
#ifdef _WIN32
  return std::filesystem::path(text.ToStdWstring());
#else
  return std::filesystem::path(std::string(text.fn_str()));
#endif
}

// Whether the folder exists (or can be made) and takes new files.
bool Writable(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!std::filesystem::is_directory(folder, error)) return false;
#ifdef _WIN32
  // The access rights (Program Files is the administrators') show only in a
  // try: a file made and removed again.
  const std::filesystem::path probe = folder / L".veradex-write-test";
  std::FILE* file = ::_wfopen(probe.c_str(), L"wb");
  if (file == nullptr) return false;
  std::fclose(file);
  std::filesystem::remove(probe, error);
  return true;
#else
  return ::access(folder.c_str(), W_OK) == 0;
#endif
}

}  // namespace

std::string TempFolder::PathOf(const std::string& programDir) {
  const std::string beside = programDir + "temp" + NativePath::kSeparator;
  // An installed program's folder belongs to the system (Program Files on
  // Windows): captured mail then waits in the user's own cache folder instead.
  if (programDir.empty() || Writable(NativePathOf(beside))) return beside;
  const std::string base = UserFolders::Base(UserFolders::Kind::kCache);
  if (base.empty()) return beside;
  const std::string own = base + "/Ambrel/veradex/temp";
  UserFolders::MakePrivate(own);
#ifndef _WIN32
  std::error_code error;
  std::filesystem::permissions(own, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace, error);
#endif
  return NativePath::ToCp949(own) + NativePath::kSeparator;
}

int TempFolder::EmptyFiles(const std::string& programDir) {
  if (programDir.empty()) return 0;
  namespace fs = std::filesystem;
  std::error_code error;
  int deleted = 0;
  for (fs::directory_iterator entry(NativePathOf(PathOf(programDir)), error), end; !error && entry != end;
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
