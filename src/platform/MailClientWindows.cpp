#include "platform/MailClientWindows.h"

namespace veradex {

// Every window the capture looks for, in one place. Outlook Express exists
// only on Windows; Thunderbird's main window is "Mail" of class
// "thunderbird-default" (Debian) or "thunderbird" (other builds), its dialogs
// carry the main window's title after their own.
const MailClientWindowLook kMailClientWindowLooks[kMailClientWindowCount] = {
    {kOutlookExpressMain, "Outlook Express Browser Class", nullptr, false, nullptr, nullptr, {nullptr}},
    {kOutlookExpressSaveDialog, "#32770", "다른 이름으로 메시지 저장", false, nullptr, nullptr, {nullptr}},
    {kThunderbirdMain, "MozillaUIWindowClass", nullptr, true, "Mail", "thunderbird", {nullptr}},
    {kThunderbirdSaveDialog,
     "#32770",
     "메시지 저장",
     true,
     nullptr,
     "thunderbird",
     {"메시지 저장 - ", "Save Message As - ", nullptr}},
    {kThunderbirdFolderChooser,
     "#32770",
     "폴더 선택",
     true,
     nullptr,
     "thunderbird",
     {"폴더 선택 - ", "Select Folder", nullptr}},
};

}  // namespace veradex
