// The profile file as the program finds it at start: any bytes, read by the
// store and loaded into the personal data, preferences and server settings.
// Whatever was found, a change written afterwards must come back after the
// next start, from a file that is no longer damaged.
#include <fstream>

#include <wx/init.h>

#include "FuzzSupport.h"
#include "profile/ConfigProfileStore.h"
#include "profile/PersonalProfile.h"
#include "profile/Preferences.h"
#include "profile/ProgramPassword.h"
#include "profile/ServerSettings.h"

using namespace veradex;
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static wxInitializer toolkit;
  static const bool once = (fuzz::AbortOnAssertion(), true);
  (void)once;
  const std::string& folder = fuzz::ScratchFolder();
  fuzz::ClearScratchFolder();
  {
    std::ofstream file(folder + "/veradex.conf", std::ios::binary);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const std::string marker = "\xC8\xAB \"x\"\\ ;#[=]\n";  // 홍, quotes, a backslash, what lines are made of
  {
    ConfigProfileStore store("veradex", folder);
    PersonalProfile profile;
    profile.Load(store);
    Preferences::Load(store);
    ServerSettings::Load(store);
    ProgramPassword password(store);
    password.IsSet();
    fuzz::Require(store.WriteProfileString("Options", "Name", marker), "a change is written");
  }
  ConfigProfileStore again("veradex", folder);
  fuzz::Require(!again.WasDamaged(), "the rewritten file is sound");
  fuzz::Require(again.GetProfileString("Options", "Name") == marker, "the change came back");
  return 0;
}
