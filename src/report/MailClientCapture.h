#pragma once

#include <cstddef>
#include <string>

#include "platform/Desktop.h"

namespace veradex {

// Saves the message selected in a running mail client into the temporary
// folder and attaches it: the client is brought to the front, its own
// save-message dialog is opened with its keystrokes, the file name it
// proposes gets a random four-digit tag and the temporary folder in front,
// the dialog is confirmed, and the saved file is added. Outlook Express is
// tried first, then Thunderbird. Runs on the user-interface thread, which it
// holds (a few seconds at most) while it waits for the client.
class MailClientCapture {
 public:
  // The report window as the capture sees it.
  class Host {
   public:
    virtual ~Host() = default;
    virtual int AttachmentCount() = 0;
    // The form fields from the controls, and back.
    virtual void SaveFields() = 0;
    virtual void LoadFields() = 0;
    // Adds a file (path in the file-system encoding) to the attachment list.
    virtual void AddFile(const std::string& path) = 0;
  };

  enum Result { kSaved = 0, kNotPossible = -1, kWrongSelection = -2 };

  // Time limits in milliseconds and counts.
  static constexpr int kLookupPause = 10;
  static constexpr int kDialogLookups = 502;  // about five seconds
  static constexpr int kNameReads = 502;
  static constexpr int kConfirmTries = 10;
  static constexpr int kThunderbirdBudget = 6000;  // the whole Thunderbird dialog, at most
  static constexpr int kSaveKeyInterval = 1000;    // Ctrl+S again when nothing opened
  static constexpr int kDialogGoneWait = 1000;     // after each Return
  static constexpr int kFileSettleLimit = 2000;    // the saved file stops growing
  static constexpr std::size_t kPathLimit = 1023;  // bytes of the whole path
  static constexpr std::size_t kNameLimit = 255;   // bytes of the file name

  // supportEmail: the address named in the failure message (code page 949).
  MailClientCapture(Desktop& desktop, std::string supportEmail);

  // The capture button. programDir in the file-system encoding, ending in
  // the separator; the file goes to its "temp" folder.
  void OnCapture(Host& host, const std::string& programDir);

  // Each turns the folder in *path into the saved file's path; kSaved, or
  // kNotPossible (the client or its dialog is not there), or
  // kWrongSelection (the client asked for a folder: several messages).
  int CaptureFromOutlookExpress(std::string* path);
  int CaptureFromThunderbird(std::string* path);
  // The client's save dialog of the kind (0 Outlook Express, 1 Thunderbird),
  // looked up at most `lookups` times with a short pause after each miss;
  // 0 when it does not appear.
  Desktop::Window FindSaveDialogEdit(int kind, int lookups = kDialogLookups);

  // folder + proposed name + tag + ".eml", the proposed name shortened (at
  // a character boundary) when the name or the path would be too long; a
  // separator inside the proposed name becomes "_".
  static std::string SavedFilePath(const std::string& folder, const std::string& proposed, int random);
  // The length of the longest start of `text` of at most `room` bytes that
  // ends between two characters: of code page 949 (a lead byte from 0x81
  // takes the next byte, whatever it is) when `doubleByte`, else of UTF-8.
  static std::size_t CharacterCut(const std::string& text, std::size_t room, bool doubleByte);
  // "%4X" of the number with the spaces turned into "0".
  static std::string Tag(int random);

  // The texts shown (code page 949).
  static std::string LimitText();
  static std::string WrongSelectionText();
  std::string FailureText() const;

 private:
  std::string ReadProposedName(Desktop::Window dialog, long long deadline);
  void WaitUntilSettled(const std::string& path);
  // True once the dialog is gone, within about kDialogGoneWait.
  bool WaitUntilGone(MailClientWindow dialog);
  // Closes the client's dialog without saving (Escape) and gives the
  // keyboard back to this program's window; kNotPossible.
  int CloseDialog(Desktop::Window dialog);

  Desktop& desktop_;
  std::string supportEmail_;
};

}  // namespace veradex
