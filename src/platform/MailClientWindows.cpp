#include "platform/MailClientWindows.h"

namespace veradex {

// Every window the capture looks for, in one place. Outlook Express exists
// only on Windows. Thunderbird's main window on Windows is of class
// "MozillaUIWindowClass" in old versions and "MozillaWindowClass" in current
// ones; under X11 it is "Mail" of class "thunderbird-default" (Debian) or
// "thunderbird" (other builds), its dialogs carry the main window's title
// after their own.
const MailClientWindowLook kMailClientWindowLooks[kMailClientWindowCount] = {
    {kOutlookExpressMain, {"Outlook Express Browser Class", nullptr}, nullptr, false, nullptr, nullptr, {nullptr}},
    {kOutlookExpressSaveDialog, {"#32770", nullptr}, "다른 이름으로 메시지 저장", false, nullptr, nullptr, {nullptr}},
    {kThunderbirdMain,
     {"MozillaUIWindowClass", "MozillaWindowClass", nullptr},
     nullptr,
     true,
     "Mail",
     "thunderbird",
     {nullptr}},
    {kThunderbirdSaveDialog,
     {"#32770", nullptr},
     "메시지 저장",
     true,
     nullptr,
     "thunderbird",
     {"메시지 저장 - ", "Save Message As - ", nullptr}},
    {kThunderbirdFolderChooser,
     {"#32770", nullptr},
     "폴더 선택",
     true,
     nullptr,
     "thunderbird",
     {"폴더 선택 - ", "Select Folder", nullptr}},
};

}  // namespace veradex
