#pragma once

#include <string>

namespace veradex {

class ProfileStore;

// The password that guards the program: asked at start when the user wishes
// and always before the settings. Kept in plain text as "PW" in the section
// "environments" and compared exactly (case-sensitive, no trimming). "setup"
// marks that the first-run set-up has stored one.
class ProgramPassword {
 public:
  explicit ProgramPassword(ProfileStore& store) : store_(store) {}

  // The first-run set-up has stored a password (any non-empty "setup").
  bool IsSet() const;
  // The typed text equals the stored password; a missing one reads as empty.
  bool Matches(const std::string& typed) const;
  // Stores a new password. False when it could not be written.
  bool Set(const std::string& password);
  // Marks the first-run set-up as done; called after Set, so that the mark
  // is never left without the password.
  bool MarkSetUp();

 private:
  ProfileStore& store_;
};

}  // namespace veradex
