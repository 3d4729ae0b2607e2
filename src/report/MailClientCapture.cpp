#include "report/MailClientCapture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/LockedRandom.h"
#include "platform/MessageSink.h"
#include "platform/NativePath.h"
#include "platform/TempFolder.h"
#include "report/AttachmentRules.h"
#include "report/ReportTexts.h"

namespace veradex {

namespace {

// The size of the file at the path (the program's form, UTF-8 on Windows);
// -1 when there is none.
long long FileSize(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(NativePath::ToFs(path), error);
  return error ? -1 : static_cast<long long>(size);
}

}  // namespace

MailClientCapture::MailClientCapture(Desktop& desktop, std::string supportEmail)
    : desktop_(desktop), supportEmail_(std::move(supportEmail)) {}

std::string MailClientCapture::LimitText() { return AttachmentRules::MessageOf(AttachmentProblem::kTooMany); }
std::string MailClientCapture::WrongSelectionText() { return ReportTexts::Get(ReportTexts::kOneMessageOnly); }
std::string MailClientCapture::FailureText() const {
  return ReportTexts::Get(ReportTexts::kCaptureFailedBefore) + supportEmail_ +
         ReportTexts::Get(ReportTexts::kCaptureFailedAfter);
}

std::string MailClientCapture::Tag(int random) {
  char tag[16];
  std::snprintf(tag, sizeof tag, "%4X", static_cast<unsigned>(random));
  std::string text(tag);
  std::replace(text.begin(), text.end(), ' ', '0');
  return text;
}

std::string MailClientCapture::SavedFilePath(const std::string& folder, const std::string& proposed, int random) {
  std::string name;
  for (char c : proposed) {
    if (c == '\0') continue;
    name += (c == '/' || c == NativePath::kSeparator) ? '_' : c;
  }
  const std::string suffix = Tag(random) + ".eml";
  const std::size_t used = folder.size() + suffix.size();
  std::size_t room = used < kPathLimit ? kPathLimit - used : 0;
  room = std::min(room, kNameLimit - suffix.size());
  // Cut before a character, never inside one; the name is in the program's
  // form of a path, UTF-8 (on Windows too, where the system gets UTF-16).
  if (name.size() > room) name.resize(CharacterCut(name, room, false));
  return folder + name + suffix;
}

std::size_t MailClientCapture::CharacterCut(const std::string& text, std::size_t room, bool doubleByte) {
  if (text.size() <= room) return text.size();
  if (!doubleByte) {
    // UTF-8 continuation bytes follow their lead.
    std::size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut;
  }
  // A trail byte may look like anything (0x41 to 0xFE): count from the start.
  std::size_t cut = 0;
  for (std::size_t i = 0; i < text.size();) {
    i += static_cast<unsigned char>(text[i]) >= 0x81 ? 2 : 1;
    if (i > room) break;
    cut = i;
  }
  return cut;
}

Desktop::Window MailClientCapture::FindSaveDialogEdit(int kind, int lookups) {
  const MailClientWindow dialog = kind == 0 ? kOutlookExpressSaveDialog : kThunderbirdSaveDialog;
  for (int i = 0; i < lookups; ++i) {
    if (Desktop::Window found = desktop_.FindTopLevel(dialog)) return found;
    desktop_.Pause(kLookupPause);
  }
  return 0;
}

std::string MailClientCapture::ReadProposedName(Desktop::Window dialog, long long deadline) {
  std::string name;
  for (int read = 0; read < kNameReads && name.empty(); ++read) {
    name = desktop_.ReadNameField(dialog);
    desktop_.Pause(kLookupPause);
    if (desktop_.NowMilliseconds() >= deadline) break;
  }
  return name;
}

int MailClientCapture::CaptureFromOutlookExpress(std::string* path) {
  const Desktop::Window client = desktop_.FindTopLevel(kOutlookExpressMain);
  if (client == 0) {
    desktop_.BringOwnWindowToFront();
    return kNotPossible;
  }
  desktop_.BringToFront(client);
  desktop_.Pause(100);
  // File, Save As.
  desktop_.PressKey(Desktop::kAlt);
  desktop_.Stroke(Desktop::kLetterF);
  desktop_.ReleaseKey(Desktop::kAlt);
  desktop_.Stroke(Desktop::kLetterA);
  const Desktop::Window dialog = FindSaveDialogEdit(0);
  if (dialog == 0) {
    desktop_.BringOwnWindowToFront();
    return kNotPossible;
  }
  // The reads end with their count or after as long as the count takes
  // with its pauses: a client slow to answer each read cannot stretch them.
  const std::string proposed =
      ReadProposedName(dialog, desktop_.NowMilliseconds() + static_cast<long long>(kNameReads) * kLookupPause);
  *path = SavedFilePath(*path, proposed, LockedRandom::Next());
  if (!desktop_.SetNameField(dialog, *path)) return CloseDialog(dialog);
  desktop_.Pause(100);
  desktop_.PressKey(Desktop::kAlt);
  desktop_.Stroke(Desktop::kLetterS);
  desktop_.ReleaseKey(Desktop::kAlt);
  desktop_.Pause(100);
  // A dialog that stays open saved nothing (and would hold the client).
  if (!WaitUntilGone(kOutlookExpressSaveDialog)) return CloseDialog(dialog);
  desktop_.BringOwnWindowToFront();
  return kSaved;
}

bool MailClientCapture::WaitUntilGone(MailClientWindow dialog) {
  for (int i = 0; i < kDialogGoneWait / kLookupPause; ++i) {
    if (desktop_.FindTopLevel(dialog) == 0) return true;
    desktop_.Pause(kLookupPause);
  }
  return desktop_.FindTopLevel(dialog) == 0;
}

int MailClientCapture::CloseDialog(Desktop::Window dialog) {
  desktop_.BringToFront(dialog);
  desktop_.Stroke(Desktop::kEscape);
  desktop_.BringOwnWindowToFront();
  return kNotPossible;
}

int MailClientCapture::CaptureFromThunderbird(std::string* path) {
  const Desktop::Window client = desktop_.FindTopLevel(kThunderbirdMain);
  if (client == 0) {
    desktop_.BringOwnWindowToFront();
    return kNotPossible;
  }
  const long long deadline = desktop_.NowMilliseconds() + kThunderbirdBudget;
  auto remaining = [&] { return deadline - desktop_.NowMilliseconds(); };
  desktop_.BringToFront(client);
  desktop_.Pause(100);

  // Save the message: Ctrl+S, again now and then while nothing opens. With
  // several messages selected the client asks for a folder instead; that
  // dialog is closed again and the user told to select one message.
  Desktop::Window dialog = 0;
  while (dialog == 0) {
    if (remaining() <= 0) {
      desktop_.BringOwnWindowToFront();
      return kNotPossible;
    }
    desktop_.BringToFront(client);
    desktop_.PressKey(Desktop::kControl);
    desktop_.Stroke(Desktop::kLetterS);
    desktop_.ReleaseKey(Desktop::kControl);
    const long long keyDeadline = std::min(deadline, desktop_.NowMilliseconds() + kSaveKeyInterval);
    while (dialog == 0 && desktop_.NowMilliseconds() < keyDeadline) {
      dialog = FindSaveDialogEdit(1, 1);
      if (dialog != 0) break;
      if (const Desktop::Window chooser = desktop_.FindTopLevel(kThunderbirdFolderChooser)) {
        desktop_.BringToFront(chooser);
        desktop_.Stroke(Desktop::kEscape);
        desktop_.BringOwnWindowToFront();
        return kWrongSelection;
      }
    }
  }

  const std::string proposed = ReadProposedName(dialog, deadline);
  *path = SavedFilePath(*path, proposed, LockedRandom::Next());
  // Confirmed now, the message would land wherever the client proposes.
  if (!desktop_.SetNameField(dialog, *path)) return CloseDialog(dialog);
  desktop_.Pause(100);

  // Confirm (Return, or Alt+S on Windows; either saves in every state of
  // the dialog). Each try goes to the dialog itself, never to whatever has
  // the keyboard once it closed.
  bool gone = false;
  for (int attempt = 0; attempt < kConfirmTries && !gone && (attempt == 0 || remaining() > 0); ++attempt) {
    if (desktop_.FindTopLevel(kThunderbirdSaveDialog) == 0) {
      gone = true;
      break;
    }
    desktop_.BringToFront(dialog);
    desktop_.PressSaveButton();
    desktop_.Pause(kLookupPause);
    gone = WaitUntilGone(kThunderbirdSaveDialog);
  }
  // Left open it would hold the user's client; nothing was saved.
  if (!gone) return CloseDialog(dialog);
  desktop_.BringOwnWindowToFront();
  return kSaved;
}

void MailClientCapture::WaitUntilSettled(const std::string& path) {
  const long long deadline = desktop_.NowMilliseconds() + kFileSettleLimit;
  long long last = -1;
  for (;;) {
    const long long size = FileSize(path);
    if (size > 0 && size == last) return;
    last = size;
    if (desktop_.NowMilliseconds() >= deadline) return;
    desktop_.Pause(100);
  }
}

void MailClientCapture::OnCapture(Host& host, const std::string& programDir) {
  if (host.AttachmentCount() >= AttachmentRules::kMaxFiles) {
    MessageSink::Current().ShowMessage(LimitText(), kStyleStop);
    return;
  }
  host.SaveFields();
  const std::string folder = TempFolder::PathOf(programDir);
  desktop_.SetTopMost(true);
  std::string path = folder;
  int result = CaptureFromOutlookExpress(&path);
  if (result == kNotPossible) {
    path = folder;
    result = CaptureFromThunderbird(&path);
  }
  if (result == kSaved) {
    WaitUntilSettled(path);
    host.AddFile(path);
    desktop_.SetTopMost(false);
  } else {
    desktop_.SetTopMost(false);
    MessageSink::Current().ShowMessage(result == kWrongSelection ? WrongSelectionText() : FailureText(), kStyleStop);
  }
  host.LoadFields();
}

}  // namespace veradex
