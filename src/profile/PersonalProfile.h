#pragma once

#include <string>

namespace veradex {

class ProfileStore;

// The reporter's personal data, as kept in the profile's "Options" section.
// One instance for the run (Global()), loaded at start-up, changed only by the
// settings dialog, read by the report window and the category pages.
class PersonalProfile {
 public:
  std::string name;            // Name
  std::string email;           // EMail
  std::string legacyPassword;  // always empty; a save then writes a zero-length "Password"
  std::string tel1;            // Tel1
  std::string tel2;            // Tel2
  std::string tel3;            // Tel3
  std::string mtel1;           // MTel1
  std::string mtel2;           // MTel2
  std::string mtel3;           // MTel3
  std::string carrier;         // McomTel: "SKT", "LGT", "KT" or "기타"
  std::string reportPassword;  // singo_pw

  // Reads the ten values (missing ones as empty) and trims them.
  void Load(const ProfileStore& store);
  // Writes the ten values as they are, then trims them in memory, then writes
  // the zero-length binary "Password". False when a value could not be
  // written (every value is still tried).
  bool Save(ProfileStore& store);
  void Load();  // from ProfileStore::Current()
  bool Save();  // to ProfileStore::Current()

  static PersonalProfile& Global();
  // Leading and trailing white space (blank, tab, CR, LF, VT, FF) removed.
  static std::string Trim(const std::string& text);
};

}  // namespace veradex
