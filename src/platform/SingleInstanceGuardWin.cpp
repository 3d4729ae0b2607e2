// The Windows side of SingleInstanceGuard: the named mutex. It is created
// owned and released at once, so it serves only as a name a second copy
// finds; its handle stays open while the guard lives, and the system drops
// the name with the last handle (a crashed copy leaves nothing behind).
#include <string>
#include <utility>

#include <wx/string.h>

#include "platform/SingleInstanceGuard.h"

// After the toolkit's headers, as wxWidgets asks.
#include <windows.h>

namespace veradex {

struct SingleInstanceGuard::Held {
  HANDLE mutex = nullptr;
};

SingleInstanceGuard::SingleInstanceGuard(std::string markerName, std::string lockFolder)
    : markerName_(std::move(markerName)), lockFolder_(std::move(lockFolder)) {}

SingleInstanceGuard::~SingleInstanceGuard() {
  if (held_) CloseHandle(held_->mutex);
}

bool SingleInstanceGuard::Acquire() {
  if (held_) return true;
  const std::wstring name = wxString::FromUTF8(markerName_).ToStdWstring();
  HANDLE mutex = CreateMutexW(nullptr, TRUE, name.c_str());
  const DWORD error = GetLastError();
  // No handle: a copy started with other rights holds the name (access
  // denied), or the name cannot be made at all (the program runs unguarded).
  if (mutex == nullptr) return error != ERROR_ACCESS_DENIED;
  ReleaseMutex(mutex);
  if (error == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  held_ = std::make_unique<Held>();
  held_->mutex = mutex;
  return true;
}

}  // namespace veradex
