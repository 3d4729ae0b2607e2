#include <windows.h>

#include <algorithm>

#include "platform/DurableFile.h"

namespace veradex {

// Paths are in the ANSI code page, as the rest of the program spells them
// on Windows. The user's profile folder is private to the user already.

bool DurableFile::WriteNew(const std::string& path, const std::string& bytes) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::size_t written = 0;
  while (written < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 20));
    DWORD n = 0;
    if (!::WriteFile(file, bytes.data() + written, chunk, &n, nullptr) || n == 0) break;
    written += n;
  }
  const bool ok = written == bytes.size() && ::FlushFileBuffers(file);
  return ::CloseHandle(file) && ok;
}

bool DurableFile::MakeFolder(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != 0; }

bool DurableFile::Rename(const std::string& from, const std::string& to) {
  const DWORD attributes = ::GetFileAttributesA(from.c_str());
  const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  // A folder cannot replace anything; a file replaces its namesake.
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (folder ? 0 : MOVEFILE_REPLACE_EXISTING);
  return ::MoveFileExA(from.c_str(), to.c_str(), flags) != 0;
}

// NTFS writes a folder's names through its own journal; MOVEFILE_WRITE_THROUGH
// already waited for the rename.
bool DurableFile::SyncFolder(const std::string&) { return true; }

}  // namespace veradex
