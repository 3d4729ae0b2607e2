#pragma once

#include <string>

#include "app/PasswordPrompt.h"

namespace veradex {

// A password dialog of the program (LoginDialog, PasswordSetupDialog) as
// start-up and the tray use it: created with no parent, shown modally as
// often as the caller wants, its window destroyed with this object.
template <class Dialog>
class DialogPasswordPrompt : public PasswordPrompt {
 public:
  DialogPasswordPrompt() : dialog_(nullptr) {}

  int DoModal() override { return dialog_.DoModal(); }
  std::string Password() const override { return dialog_.Password(); }

  Dialog& dialog() { return dialog_; }

 private:
  Dialog dialog_;
};

}  // namespace veradex
