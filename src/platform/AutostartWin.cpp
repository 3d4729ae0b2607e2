// The Windows side of Autostart: the value "Veradex" under the Run key of
// HKEY_LOCAL_MACHINE (every user; writing it takes the administrator) or of
// HKEY_CURRENT_USER. AutostartPosix.cpp is the desktop-session one.
#include <string>

#include "platform/Autostart.h"
#include "platform/NativePath.h"

// After the toolkit's headers (NativePath brings wxString), as wxWidgets asks.
#include <windows.h>

namespace veradex {

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kValueName[] = L"Veradex";

HKEY RootOf(Autostart::Place place) {
  return place == Autostart::Place::kMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

}  // namespace

// Both Run keys are read at log-on: an entry in each starts the program twice.
const bool Autostart::kUserEntryReplacesMachineEntry = false;

std::string Autostart::EntryPath(Place) const { return std::string(); }

std::string Autostart::QuotedCommand(const std::string& executablePath) {
  if (executablePath.empty() || executablePath[0] == '"') return executablePath;
  return "\"" + executablePath + "\"";
}

bool Autostart::WriteEntry(Place place, const std::string& command) const {
  const std::wstring text = NativePath::ToWx(command).ToStdWstring();
  if (text.empty()) return false;
  HKEY key = nullptr;
  if (RegCreateKeyExW(RootOf(place), kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  // REG_SZ with its terminating zero, counted in bytes.
  const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  const LONG result = RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

bool Autostart::RemoveEntry(Place place) const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(RootOf(place), kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
  const LONG result = RegDeleteValueW(key, kValueName);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

bool Autostart::HasEntry(Place place) const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(RootOf(place), kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  const LONG result = RegQueryValueExW(key, kValueName, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

}  // namespace veradex
