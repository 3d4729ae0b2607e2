#include "support/FakeDesktop.h"

#include <fstream>

namespace veradex::test {

namespace {
// Window ids are the table's rows plus one; the own window is kOwn.
Desktop::Window IdOf(MailClientWindow which) { return static_cast<Desktop::Window>(which) + 1; }
const char* ShortName(Desktop::Window id) {
  switch (id) {
    case kOutlookExpressMain + 1:
      return "OE";
    case kOutlookExpressSaveDialog + 1:
      return "OEsave";
    case kThunderbirdMain + 1:
      return "TB";
    case kThunderbirdSaveDialog + 1:
      return "TBsave";
    case kThunderbirdFolderChooser + 1:
      return "TBfolder";
    default:
      return "own";
  }
}
}  // namespace

FakeDesktop::FakeDesktop(Script script) : script_(std::move(script)) {
  open_[kOutlookExpressMain] = script_.outlookExpress;
  open_[kThunderbirdMain] = script_.thunderbird;
}

const char* FakeDesktop::KeyName(Key key) {
  switch (key) {
    case kAlt:
      return "Alt";
    case kControl:
      return "Ctrl";
    case kLetterA:
      return "A";
    case kLetterF:
      return "F";
    case kLetterS:
      return "S";
    case kLetterV:
      return "V";
    case kReturn:
      return "Return";
    case kEscape:
      return "Escape";
  }
  return "?";
}

Desktop::Window FakeDesktop::FindTopLevel(MailClientWindow which) {
  ++lookups_[which];
  return IsOpen(which) ? IdOf(which) : 0;
}

int FakeDesktop::Lookups(MailClientWindow which) const {
  const auto it = lookups_.find(which);
  return it == lookups_.end() ? 0 : it->second;
}

bool FakeDesktop::BringToFront(Window window) {
  if (window == kOwn) {
    focus_ = kOwn;
    return true;
  }
  if (window == 0 || window > kMailClientWindowCount || !IsOpen(static_cast<MailClientWindow>(window - 1)))
    return false;
  focus_ = window;
  return true;
}

void FakeDesktop::BringOwnWindowToFront() { focus_ = kOwn; }

void FakeDesktop::SetTopMost(bool on) { topMost_.push_back(on); }

void FakeDesktop::PressKey(Key key) {
  if (focus_ != lastLogged_) {
    keyLog_ += std::string(keyLog_.empty() ? "" : " ") + "@" + ShortName(focus_);
    lastLogged_ = focus_;
  }
  keyLog_ += std::string(keyLog_.empty() ? "" : " ") + "+" + KeyName(key);
  down_[key] = true;
  const bool alt = down_[kAlt], control = down_[kControl];
  const Window at = focus_;
  if (at == IdOf(kOutlookExpressMain) && key == kLetterA && !alt && script_.outlookDialogOpens &&
      keyLog_.find("+Alt +F") != std::string::npos) {
    open_[kOutlookExpressSaveDialog] = true;
  } else if (at == IdOf(kOutlookExpressSaveDialog) && key == kLetterS && alt) {
    open_[kOutlookExpressSaveDialog] = false;
    std::ofstream(nameSet_, std::ios::binary) << script_.content;
  } else if (at == IdOf(kThunderbirdMain) && key == kLetterS && control) {
    if (++saveStrokes_ == script_.saveStrokesToOpen)
      open_[script_.folderChooser ? kThunderbirdFolderChooser : kThunderbirdSaveDialog] = true;
  } else if (at == IdOf(kThunderbirdSaveDialog) && key == kReturn) {
    if (script_.returnsToClose > 0 && ++returns_ >= script_.returnsToClose) {
      open_[kThunderbirdSaveDialog] = false;
      std::ofstream(nameSet_, std::ios::binary) << script_.content;
      focus_ = IdOf(kThunderbirdMain);
    }
  } else if (key == kEscape && at > 0 && at <= kMailClientWindowCount) {
    const MailClientWindow which = static_cast<MailClientWindow>(at - 1);
    if (which != kThunderbirdMain && which != kOutlookExpressMain) open_[which] = false;
  }
}

void FakeDesktop::ReleaseKey(Key key) {
  keyLog_ += std::string(" -") + KeyName(key);
  down_[key] = false;
}

std::string FakeDesktop::ReadNameField(Window dialog) {
  if (!BringToFront(dialog)) return std::string();
  return ++reads_ <= script_.emptyReads ? std::string() : script_.proposedName;
}

bool FakeDesktop::SetNameField(Window dialog, const std::string& text) {
  if (!BringToFront(dialog) || !script_.pasteWorks) return false;
  nameSet_ = text;
  return true;
}

void FakeDesktop::Pause(int milliseconds) {
  ++pauses_;
  now_ += milliseconds;
}

}  // namespace veradex::test
