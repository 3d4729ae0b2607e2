#include "platform/UserFolders.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include "platform/NativePath.h"
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace veradex {

#ifdef _WIN32
namespace {

// A variable of the environment, read in UTF-16 and kept as UTF-8; empty when unset.
std::string WideVariable(const wchar_t* name) {
  const wchar_t* value = ::_wgetenv(name);
  return value != nullptr && value[0] != L'\0' ? NativePath::FromFs(std::filesystem::path(value)) : std::string();
}

// A folder the shell knows; empty when it knows none.
std::string KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)) && path != nullptr)
    folder = NativePath::FromFs(std::filesystem::path(path));
  ::CoTaskMemFree(path);
  return folder;
}

}  // namespace
#endif

std::string UserFolders::Home() {
#ifdef _WIN32
  const std::string profile = WideVariable(L"USERPROFILE");
  return profile.empty() ? KnownFolder(FOLDERID_Profile) : profile;
#else
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return home;
  if (const passwd* account = ::getpwuid(::getuid()); account != nullptr && account->pw_dir != nullptr)
    return account->pw_dir;
  return std::string();
#endif
}

std::string UserFolders::Base(Kind kind) {
#ifdef _WIN32
  // Settings and the user's records roam with the account; the cache and the
  // log stay on this computer.
  const bool roaming = kind == Kind::kConfig || kind == Kind::kData;
  const std::string folder = WideVariable(roaming ? L"APPDATA" : L"LOCALAPPDATA");
  return folder.empty() ? KnownFolder(roaming ? FOLDERID_RoamingAppData : FOLDERID_LocalAppData) : folder;
#else
  static const struct {
    const char* variable;
    const char* underHome;
  } kKinds[] = {{"XDG_CONFIG_HOME", "/.config"},
                {"XDG_DATA_HOME", "/.local/share"},
                {"XDG_STATE_HOME", "/.local/state"},
                {"XDG_CACHE_HOME", "/.cache"}};
  const auto& chosen = kKinds[static_cast<int>(kind)];
  const char* value = std::getenv(chosen.variable);
  if (value != nullptr && value[0] == '/') return value;
  const std::string home = Home();
  return home.empty() ? std::string() : home + chosen.underHome;
#endif
}

bool UserFolders::MakePrivate(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
#ifdef _WIN32
  // The folder below the user's profile is the user's own already.
  const fs::path path = NativePath::ToFs(folder);
  if (folder.empty()) return false;
  if (fs::is_directory(path, error)) return true;
  fs::create_directories(path, error);
#else
  const fs::path path(folder);
  if (folder.empty()) return false;
  if (fs::is_directory(path, error)) return true;
  if (path.has_relative_path() && path.has_parent_path() && path.parent_path() != path) {
    MakePrivate(path.parent_path().string());
  }
  ::mkdir(folder.c_str(), 0700);
#endif
  return fs::is_directory(path, error);
}

}  // namespace veradex
