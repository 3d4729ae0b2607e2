#include "platform/Win32Desktop.h"

#include <wx/string.h>

// After the toolkit's headers, as wxWidgets asks.
#include <windows.h>

namespace veradex {

namespace {

HWND Handle(Desktop::Window window) { return reinterpret_cast<HWND>(window); }
Desktop::Window Id(HWND window) { return reinterpret_cast<Desktop::Window>(window); }

std::wstring Wide(const char* utf8) { return wxString::FromUTF8(utf8).ToStdWstring(); }

BYTE VirtualKey(Desktop::Key key) {
  switch (key) {
    case Desktop::kAlt:
      return VK_MENU;
    case Desktop::kControl:
      return VK_CONTROL;
    case Desktop::kLetterA:
      return 'A';
    case Desktop::kLetterF:
      return 'F';
    case Desktop::kLetterS:
      return 'S';
    case Desktop::kLetterV:
      return 'V';
    case Desktop::kReturn:
      return VK_RETURN;
    case Desktop::kEscape:
      return VK_ESCAPE;
  }
  return 0;
}

}  // namespace

Desktop::Window Win32Desktop::FindTopLevel(MailClientWindow which) {
  const MailClientWindowLook& look = kMailClientWindowLooks[which];
  const std::wstring title = look.windowsTitle != nullptr ? Wide(look.windowsTitle) : std::wstring();
  for (const char* const* name = look.windowsClasses; *name != nullptr; ++name) {
    const std::wstring windowClass = Wide(*name);
    // A client keeps hidden windows of the same class; the one the user sees
    // (shown, or minimised) is the one to drive.
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, windowClass.c_str(),
                                  look.windowsTitle != nullptr ? title.c_str() : nullptr)) != nullptr) {
      if (IsWindowVisible(found) || IsIconic(found)) return Id(found);
    }
  }
  return 0;
}

bool Win32Desktop::BringToFront(Window window) {
  HWND handle = Handle(window);
  if (handle == nullptr || !IsWindow(handle)) return false;
  if (IsIconic(handle)) ShowWindow(handle, SW_RESTORE);
  BringWindowToTop(handle);
  SetForegroundWindow(handle);
  // The keys go to the foreground window: wait (briefly) until it is this one.
  for (int i = 0; i < 50 && GetForegroundWindow() != handle; ++i) Sleep(10);
  return GetForegroundWindow() == handle;
}

void Win32Desktop::BringOwnWindowToFront() {
  if (OwnWindow() == 0) return;
  BringWindowToTop(Handle(OwnWindow()));
  SetForegroundWindow(Handle(OwnWindow()));
}

void Win32Desktop::SetTopMost(bool on) {
  if (OwnWindow() == 0) return;
  SetWindowPos(Handle(OwnWindow()), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void Win32Desktop::PressKey(Key key) { keybd_event(VirtualKey(key), 0, 0, 0); }

void Win32Desktop::ReleaseKey(Key key) { keybd_event(VirtualKey(key), 0, KEYEVENTF_KEYUP, 0); }

void Win32Desktop::PressSaveButton() {
  PressKey(kAlt);
  Stroke(kLetterS);
  ReleaseKey(kAlt);
}

Desktop::Window Win32Desktop::NameFieldOf(Window dialog) {
  HWND handle = Handle(dialog);
  if (handle == nullptr) return 0;
  if (HWND comboEx = FindWindowExW(handle, nullptr, L"ComboBoxEx32", nullptr)) {
    HWND combo = GetWindow(comboEx, GW_CHILD);
    return Id(combo != nullptr ? GetWindow(combo, GW_CHILD) : nullptr);
  }
  return Id(FindWindowExW(handle, nullptr, L"Edit", nullptr));
}

std::string Win32Desktop::ReadNameField(Window dialog) {
  HWND field = Handle(NameFieldOf(dialog));
  if (field == nullptr) return std::string();
  wchar_t text[kNameFieldCapacity + 1] = {};
  DWORD_PTR copied = 0;
  if (SendMessageTimeoutW(field, WM_GETTEXT, kNameFieldCapacity + 1, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                          kMessageTimeout, &copied) == 0)
    return std::string();
  // The converted bytes live in the string: it must outlive the buffer.
  const wxString name(text, copied);
  const wxScopedCharBuffer utf8 = name.utf8_str();
  return std::string(utf8.data(), utf8.length());
}

bool Win32Desktop::SetNameField(Window dialog, const std::string& text) {
  HWND field = Handle(NameFieldOf(dialog));
  if (field == nullptr) return false;
  const std::wstring wide = wxString::FromUTF8(text.data(), text.size()).ToStdWstring();
  DWORD_PTR done = 0;
  if (SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_ABORTIFHUNG,
                          kMessageTimeout, &done) == 0 ||
      done == 0)
    return false;
  // Only a field that now holds the whole path saves where the program looks.
  return ReadNameField(dialog) == text;
}

void Win32Desktop::Pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

long long Win32Desktop::NowMilliseconds() { return static_cast<long long>(GetTickCount64()); }

}  // namespace veradex
