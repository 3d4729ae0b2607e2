#pragma once

#include <wx/string.h>

namespace veradex {

// The send-time test of one attached file: it must open for reading, hold at
// most 2 MByte and end in ".eml" or ".msg", tested in that order. A failure
// shows its message (style 16) through MessageSink::Current().
class AttachmentFileCheck {
 public:
  static constexpr long long kMaxBytes = 2097152;

  static bool Check(const wxString& path);
  // Cause code of a failed open as the report window numbers them (2 not
  // found, 3 bad path, 4 too many open files, 5 access denied, ...).
  static int CauseOf(int error);
  // The Korean description of a failed open.
  static wxString DescriptionOf(int error);
};

}  // namespace veradex
