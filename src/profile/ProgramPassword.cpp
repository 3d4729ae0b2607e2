#include "profile/ProgramPassword.h"

#include "profile/ProfileStore.h"

namespace veradex {

namespace {
constexpr const char* kPasswordEntry = "PW";
constexpr const char* kSetUpEntry = "setup";
}  // namespace

bool ProgramPassword::IsSet() const { return store_.GetProfileFlag(profile::kEnvironments, kSetUpEntry); }

bool ProgramPassword::Matches(const std::string& typed) const {
  return typed == store_.GetProfileString(profile::kEnvironments, kPasswordEntry, "");
}

bool ProgramPassword::Set(const std::string& password) {
  return store_.WriteProfileString(profile::kEnvironments, kPasswordEntry, password);
}

bool ProgramPassword::MarkSetUp() { return store_.WriteProfileString(profile::kEnvironments, kSetUpEntry, "1"); }

}  // namespace veradex
