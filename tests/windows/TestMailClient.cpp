// A mail client for the capture's tests on Windows: a main window of the
// class Outlook Express or Thunderbird shows itself with, and the client's
// save dialog (class "#32770", its Korean title) with a name field holding
// the proposed name, either inside a ComboBoxEx32 (combo box, then edit, as
// the system's file dialog has it) or as a plain edit. Saving (Alt+S, Return
// or the button) writes the given mail to the path the field then holds;
// Escape closes the dialog without saving.
//
//   veradex_test_mailclient --client outlook|thunderbird|thunderbird-old
//       [--field combo|edit] [--name PROPOSED] --mail FILE
//
// Outlook Express opens its dialog on Alt+F then A (File, Save As),
// Thunderbird on Ctrl+S. Every save is logged to standard output.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

enum : int { kNameField = 100, kSaveButton = IDOK, kCancelButton = IDCANCEL };

struct Options {
  std::wstring client = L"outlook";
  std::wstring field = L"combo";
  std::wstring name = L"Hello.eml";
  std::wstring mail;
};

Options options;
std::string mailBytes;
HWND mainWindow = nullptr;
HWND saveDialog = nullptr;
bool fileMenuOpen = false;

bool IsOutlook() { return options.client == L"outlook"; }

const wchar_t* MainClass() {
  if (IsOutlook()) return L"Outlook Express Browser Class";
  return options.client == L"thunderbird-old" ? L"MozillaUIWindowClass" : L"MozillaWindowClass";
}

const wchar_t* DialogTitle() {
  return IsOutlook()
             ? L"\xB2E4\xB978 \xC774\xB984\xC73C\xB85C \xBA54\xC2DC\xC9C0 \xC800\xC7A5"  // 다른 이름으로 메시지 저장
             : L"\xBA54\xC2DC\xC9C0 \xC800\xC7A5";                                       // 메시지 저장
}

HWND NameField(HWND dialog) {
  HWND field = GetDlgItem(dialog, kNameField);
  if (options.field == L"combo") field = reinterpret_cast<HWND>(SendMessageW(field, CBEM_GETEDITCONTROL, 0, 0));
  return field;
}

bool ReadAll(const std::wstring& path, std::string* bytes) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (file == nullptr) return false;
  char buffer[4096];
  std::size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes->append(buffer, count);
  std::fclose(file);
  return true;
}

void Save(HWND dialog) {
  wchar_t path[2048] = {};
  GetWindowTextW(NameField(dialog), path, 2048);
  FILE* file = _wfopen(path, L"wb");
  if (file != nullptr) {
    std::fwrite(mailBytes.data(), 1, mailBytes.size(), file);
    std::fclose(file);
  }
  std::printf("saved %d\n", file != nullptr ? 1 : 0);
  std::fflush(stdout);
  DestroyWindow(dialog);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      HINSTANCE instance = GetModuleHandleW(nullptr);
      if (options.field == L"combo") {
        CreateWindowExW(0, WC_COMBOBOXEXW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWN, 10, 10, 300, 200,
                        dialog, reinterpret_cast<HMENU>(kNameField), instance, nullptr);
      } else {
        CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10,
                        300, 24, dialog, reinterpret_cast<HMENU>(kNameField), instance, nullptr);
      }
      CreateWindowExW(0, L"Button", L"\xC800\xC7A5(&S)", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 50,
                      90, 26, dialog, reinterpret_cast<HMENU>(kSaveButton), instance, nullptr);  // 저장(&S)
      CreateWindowExW(0, L"Button", L"\xCDE8\xC18C", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 110, 50, 90, 26, dialog,
                      reinterpret_cast<HMENU>(kCancelButton), instance, nullptr);  // 취소
      SetWindowTextW(NameField(dialog), options.name.c_str());
      SetFocus(NameField(dialog));
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kSaveButton) {
        Save(dialog);
        return TRUE;
      }
      if (LOWORD(wParam) == kCancelButton) {
        DestroyWindow(dialog);
        return TRUE;
      }
      break;
    case WM_DESTROY:
      if (dialog == saveDialog) saveDialog = nullptr;
      break;
  }
  return FALSE;
}

void OpenSaveDialog() {
  if (saveDialog != nullptr) return;
  // A template with the dialog alone (its controls are made in
  // WM_INITDIALOG): header, no menu, the default class "#32770", the title.
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  DLGTEMPLATE* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
  header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME;
  header->cx = 220;
  header->cy = 60;
  words.push_back(0);
  words.push_back(0);
  for (const wchar_t* c = DialogTitle(); *c != 0; ++c) words.push_back(static_cast<WORD>(*c));
  words.push_back(0);
  saveDialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(words.data()),
                                          mainWindow, DialogProc, 0);
  SetWindowPos(saveDialog, nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SetForegroundWindow(saveDialog);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSKEYDOWN:
      // Alt+F opens the File menu, whose item A is "Save As".
      if (IsOutlook() && wParam == 'F') {
        fileMenuOpen = true;
        return 0;
      }
      break;
    case WM_SYSCHAR:
      return 0;  // no system menu, no beep
    case WM_KEYDOWN:
      if (IsOutlook() && fileMenuOpen && wParam == 'A') {
        fileMenuOpen = false;
        OpenSaveDialog();
      } else if (!IsOutlook() && wParam == 'S' && (GetKeyState(VK_CONTROL) & 0x8000) != 0) {
        OpenSaveDialog();
      } else if (wParam != VK_MENU && wParam != VK_CONTROL) {
        fileMenuOpen = false;
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool ParseOptions() {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; i + 1 < count; i += 2) {
    const std::wstring name = args[i];
    if (name == L"--client")
      options.client = args[i + 1];
    else if (name == L"--field")
      options.field = args[i + 1];
    else if (name == L"--name")
      options.name = args[i + 1];
    else if (name == L"--mail")
      options.mail = args[i + 1];
    else
      return false;
  }
  LocalFree(args);
  return !options.mail.empty() && ReadAll(options.mail, &mailBytes);
}

}  // namespace

int main() {
  if (!ParseOptions()) {
    std::fprintf(stderr,
                 "usage: --client outlook|thunderbird|thunderbird-old [--field combo|edit] [--name N] --mail FILE\n");
    return 2;
  }
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_USEREX_CLASSES};
  InitCommonControlsEx(&controls);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = MainProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = MainClass();
  RegisterClassW(&windowClass);
  mainWindow =
      CreateWindowExW(0, MainClass(), IsOutlook() ? L"Outlook Express" : L"Mozilla Thunderbird",
                      WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 700, 500, 300, nullptr, nullptr, instance, nullptr);
  std::printf("ready\n");
  std::fflush(stdout);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Alt+S in the dialog is its save button's mnemonic; Escape cancels.
    if (saveDialog != nullptr && (message.hwnd == saveDialog || IsChild(saveDialog, message.hwnd))) {
      if (message.message == WM_SYSKEYDOWN && message.wParam == 'S') {
        Save(saveDialog);
        continue;
      }
      if (message.message == WM_SYSCHAR) continue;
      if (IsDialogMessageW(saveDialog, &message)) continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
