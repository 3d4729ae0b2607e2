#include "profile/PersonalProfile.h"

#include "profile/ProfileStore.h"

namespace veradex {

namespace {

// Value names in the order they are read and written.
struct Field {
  const char* entry;
  std::string PersonalProfile::*member;
};
const Field kFields[] = {
    {"Name", &PersonalProfile::name},       {"EMail", &PersonalProfile::email},
    {"Tel1", &PersonalProfile::tel1},       {"Tel2", &PersonalProfile::tel2},
    {"Tel3", &PersonalProfile::tel3},       {"MTel1", &PersonalProfile::mtel1},
    {"MTel2", &PersonalProfile::mtel2},     {"MTel3", &PersonalProfile::mtel3},
    {"McomTel", &PersonalProfile::carrier}, {"singo_pw", &PersonalProfile::reportPassword},
};

}  // namespace

void PersonalProfile::Load(const ProfileStore& store) {
  for (const Field& field : kFields) this->*field.member = store.GetProfileString(profile::kOptions, field.entry, "");
  for (const Field& field : kFields) this->*field.member = Trim(this->*field.member);
  legacyPassword.clear();
}

bool PersonalProfile::Save(ProfileStore& store) {
  bool written = true;
  for (const Field& field : kFields)
    written = store.WriteProfileString(profile::kOptions, field.entry, this->*field.member) && written;
  for (const Field& field : kFields) this->*field.member = Trim(this->*field.member);
  if (legacyPassword.empty())
    written = store.WriteProfileBinary(profile::kOptions, "Password", std::string()) && written;
  return written;
}

void PersonalProfile::Load() { Load(ProfileStore::Current()); }

bool PersonalProfile::Save() { return Save(ProfileStore::Current()); }

PersonalProfile& PersonalProfile::Global() {
  static PersonalProfile instance;
  return instance;
}

std::string PersonalProfile::Trim(const std::string& text) {
  static const char* const kBlanks = " \t\r\n\v\f";
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return std::string();
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

}  // namespace veradex
