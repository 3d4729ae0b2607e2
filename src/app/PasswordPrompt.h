#pragma once

#include <string>

namespace veradex {

// A modal dialog that asks for a password and hands it back: the login
// dialog and the first-run password set-up. The same object may be shown
// again (the start-up login after a wrong password).
class PasswordPrompt {
 public:
  virtual ~PasswordPrompt() = default;

  // Shows the dialog modally: 1 when confirmed, 2 when cancelled or closed.
  virtual int DoModal() = 0;

  // The password confirmed last (code page 949), byte for byte as typed.
  virtual std::string Password() const = 0;
};

}  // namespace veradex
