#include "profile/Preferences.h"

#include "profile/ProfileStore.h"

namespace veradex {

namespace {
constexpr const char* kHideAtRun = "hide_at_run";
constexpr const char* kUsePassword = "use_pw";
constexpr const char* kRunAtStart = "run_at_sysstart";
constexpr const char* kProgramDir = "ProPathName";

const char* Flag(bool on) { return on ? "1" : ""; }
}  // namespace

Preferences Preferences::Load(const ProfileStore& store) {
  Preferences preferences;
  preferences.hideAtRun = store.GetProfileFlag(profile::kEnvironments, kHideAtRun);
  preferences.usePassword = store.GetProfileFlag(profile::kEnvironments, kUsePassword);
  preferences.runAtStart = store.GetProfileFlag(profile::kEnvironments, kRunAtStart);
  preferences.programDir = store.GetProfileString(profile::kEnvironments, kProgramDir);
  return preferences;
}

bool Preferences::Save(ProfileStore& store) const {
  bool written = store.WriteProfileString(profile::kEnvironments, kHideAtRun, Flag(hideAtRun));
  written = store.WriteProfileString(profile::kEnvironments, kRunAtStart, Flag(runAtStart)) && written;
  written = store.WriteProfileString(profile::kEnvironments, kUsePassword, Flag(usePassword)) && written;
  return written;
}

bool Preferences::SaveProgramDir(ProfileStore& store) const {
  return store.WriteProfileString(profile::kEnvironments, kProgramDir, programDir);
}

}  // namespace veradex
