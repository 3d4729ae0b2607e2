#pragma once

#include <string>

class wxTextCtrl;

namespace veradex {

// The text of an edit as the profile keeps it (code page 949). A text that
// code page 949 cannot hold is refused: the user is told, and the edit keeps
// what was typed, selected and focused, so the character can be removed.
class StorableText {
 public:
  static bool Read(wxTextCtrl* edit, std::string* out);
  // Tells the user and selects the edit (may be null).
  static void Refuse(wxTextCtrl* edit);
};

}  // namespace veradex
