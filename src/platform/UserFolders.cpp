#include "platform/UserFolders.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace veradex {

std::string UserFolders::Home() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return home;
#ifndef _WIN32
  if (const passwd* account = ::getpwuid(::getuid()); account != nullptr && account->pw_dir != nullptr)
    return account->pw_dir;
#endif
  return std::string();
}

std::string UserFolders::Base(Kind kind) {
#ifdef _WIN32
  (void)kind;
  const char* local = std::getenv("LOCALAPPDATA");
  return local != nullptr ? std::string(local) : std::string();
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
  const fs::path path(folder);
  if (folder.empty()) return false;
  if (fs::is_directory(path, error)) return true;
  if (path.has_relative_path() && path.has_parent_path() && path.parent_path() != path) {
    MakePrivate(path.parent_path().string());
  }
#ifdef _WIN32
  fs::create_directory(path, error);
#else
  ::mkdir(folder.c_str(), 0700);
#endif
  return fs::is_directory(path, error);
}

}  // namespace veradex
