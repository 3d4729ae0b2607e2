#include "ui/settings/StorableText.h"

#include <wx/textctrl.h>

#include "platform/Cp949.h"
#include "platform/MessageSink.h"
#include "ui/settings/SettingsTexts.h"

namespace veradex {

bool StorableText::Read(wxTextCtrl* edit, std::string* out) {
  if (Cp949::FromWx(edit->GetValue(), out)) return true;
  Refuse(edit);
  return false;
}

void StorableText::Refuse(wxTextCtrl* edit) {
  MessageSink::Current().ShowMessage(SettingsTexts::Bytes(SettingsTexts::kUnstorableText), kStyleStop);
  if (edit == nullptr) return;
  edit->SelectAll();
  edit->SetFocus();
}

}  // namespace veradex
