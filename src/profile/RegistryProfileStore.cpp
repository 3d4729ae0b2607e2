#include "profile/RegistryProfileStore.h"

#include <wx/string.h>

#include "platform/Cp949.h"

// After the toolkit's headers, as wxWidgets asks.
#include <windows.h>
// The profile functions of the store, not the system's of the same names.
#undef GetProfileString
#undef WriteProfileString

#include <cstring>

namespace veradex {

namespace {

std::wstring Wide(const std::string& utf8) { return wxString::FromUTF8(utf8.data(), utf8.size()).ToStdWstring(); }

}  // namespace

RegistryProfileStore::RegistryProfileStore(const std::string& applicationName, const std::string& keyPath)
    : keyPath_(keyPath.empty() ? std::string(kCompanyKey) + "\\" + applicationName : keyPath) {}

bool RegistryProfileStore::ReadValue(const std::string& section, const std::string& entry, unsigned long* type,
                                     std::string* data) const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(keyPath_ + "\\" + section).c_str(), 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS)
    return false;
  const std::wstring name = Wide(entry);
  DWORD valueType = 0;
  DWORD size = 0;
  LONG result = RegQueryValueExW(key, name.c_str(), nullptr, &valueType, nullptr, &size);
  // The value may grow between the two calls (another copy of the program
  // writing it): ask again with the new size.
  while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
    data->assign(size, '\0');
    DWORD got = size;
    result = RegQueryValueExW(key, name.c_str(), nullptr, &valueType,
                              reinterpret_cast<BYTE*>(data->empty() ? nullptr : &(*data)[0]), &got);
    if (result == ERROR_SUCCESS) {
      data->resize(got);
      break;
    }
    if (result != ERROR_MORE_DATA) break;
    size = got;
  }
  RegCloseKey(key);
  *type = valueType;
  return result == ERROR_SUCCESS;
}

bool RegistryProfileStore::WriteValue(const std::string& section, const std::string& entry, unsigned long type,
                                      const void* data, unsigned long size) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Wide(keyPath_ + "\\" + section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG result = RegSetValueExW(key, Wide(entry).c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

std::string RegistryProfileStore::GetProfileString(const std::string& section, const std::string& entry,
                                                   const std::string& defaultValue) const {
  unsigned long type = 0;
  std::string data;
  if (!ReadValue(section, entry, &type, &data) || (type != REG_SZ && type != REG_EXPAND_SZ)) return defaultValue;
  // UTF-16 up to the first zero (a value written by another program may
  // lack its terminating zero, or hold a stray byte).
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(&text[0], data.data(), text.size() * sizeof(wchar_t));
  const std::size_t end = text.find(L'\0');
  if (end != std::wstring::npos) text.resize(end);
  return Cp949::FromWxLossy(wxString(text));
}

bool RegistryProfileStore::WriteProfileString(const std::string& section, const std::string& entry,
                                              const std::string& text) {
  const wxString value = Cp949::ToWx(text);
  std::string back;
  if (!Cp949::FromWx(value, &back) || back != text) return false;
  const std::wstring wide = value.ToStdWstring();
  // REG_SZ with its terminating zero, counted in bytes.
  return WriteValue(section, entry, REG_SZ, wide.c_str(),
                    static_cast<unsigned long>((wide.size() + 1) * sizeof(wchar_t)));
}

bool RegistryProfileStore::WriteProfileBinary(const std::string& section, const std::string& entry,
                                              const std::string& bytes) {
  return WriteValue(section, entry, REG_BINARY, bytes.data(), static_cast<unsigned long>(bytes.size()));
}

bool RegistryProfileStore::GetProfileBinary(const std::string& section, const std::string& entry,
                                            std::string* bytes) const {
  unsigned long type = 0;
  std::string data;
  if (!ReadValue(section, entry, &type, &data) || type != REG_BINARY) return false;
  *bytes = data;
  return true;
}

}  // namespace veradex
