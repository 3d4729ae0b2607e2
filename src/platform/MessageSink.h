#pragma once

#include <string>

namespace veradex {

// Message-box styles and results, bit for bit those of the classic system
// message box: the low four bits choose the buttons, the next four the picture
// and the sound.
enum MessageStyle : unsigned {
  kMbOk = 0x00,
  kMbOkCancel = 0x01,
  kMbYesNo = 0x04,
  kMbIconStop = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconExclamation = 0x30,
  kMbIconInformation = 0x40,
  kStyleStop = kMbIconStop | kMbOk,             // 16: every error and notice
  kStyleQuestion = kMbIconQuestion | kMbYesNo,  // 0x24: the exit question
};

enum MessageResult : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// Where the core shows a message to the user. The GUI adapts it to the skinned
// message box (on the GUI thread, waiting for the user to dismiss it); tests
// record the calls. Texts are code page 949 bytes.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows the text and returns once the user has dismissed it, with one of
  // the MessageResult values.
  virtual int ShowMessage(const std::string& text, unsigned style) = 0;

  // The sink the windows of this run use: the skinned message box once the
  // GUI has started (it sets it), a recorder in tests. Before anything is set,
  // messages go to standard error and count as confirmed.
  static MessageSink& Current();
  static void SetCurrent(MessageSink* sink);
};

}  // namespace veradex
