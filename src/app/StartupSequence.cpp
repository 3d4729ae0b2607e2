#include "app/StartupSequence.h"

#include <wx/string.h>

#include <utility>

#include "net/ServerConfig.h"
#include "platform/Cp949.h"
#include "platform/ExecutablePath.h"
#include "platform/MessageSink.h"
#include "platform/SocketLayer.h"
#include "profile/ConfigProfileStore.h"

namespace veradex {

namespace {

// Source texts are UTF-8; the program's messages are code page 949.
std::string Text(const char* utf8) { return Cp949::FromWxLossy(wxString::FromUTF8(utf8)); }

std::string NativeToCp949(const std::string& native) {
  wxString text(native.c_str(), *wxConvFileName);
  if (text.empty()) text = wxString(native.c_str(), wxConvISO8859_1);
  return Cp949::FromWxLossy(text);
}

}  // namespace

StartupSequence::Parts StartupSequence::ProgramParts() {
  Parts parts;
  const std::string applicationName = ExecutablePath::GetExecutableBaseName();
  const std::string folder = ConfigProfileStore::DefaultFolder();
  parts.instanceGuard = std::make_unique<SingleInstanceGuard>(SingleInstanceGuard::kMarkerName, folder);
  parts.startSockets = [] { return SocketLayer::Start(); };
  parts.openProfile = [applicationName, folder]() -> std::unique_ptr<ProfileStore> {
    return std::make_unique<ConfigProfileStore>(applicationName.empty() ? std::string("veradex") : applicationName,
                                                folder);
  };
  parts.autostart = std::make_unique<Autostart>(Autostart::ForThisProgram());
  parts.executableDirectory = ExecutablePath::GetExecutableDirectory();
  return parts;
}

StartupSequence::StartupSequence(Parts parts) : parts_(std::move(parts)) {}

StartupSequence::~StartupSequence() {
  if (store_ && &ProfileStore::Current() == store_.get()) ProfileStore::SetCurrent(nullptr);
}

std::string StartupSequence::AlreadyRunningText() { return Text("프로그램이 이미 실행되어 있습니다..."); }

std::string StartupSequence::SocketFailureText() { return Text("소켓초기화에 실패하였습니다..."); }

bool StartupSequence::RunProfileSteps() {
  // 1-2. One copy per user. A second copy says so and ends before it touches
  // the profile or the autostart entry; the running copy is left alone.
  if (parts_.instanceGuard && !parts_.instanceGuard->Acquire()) {
    MessageSink::Current().ShowMessage(AlreadyRunningText(), kStyleStop);
    return false;
  }

  // 3. Sockets.
  if (parts_.startSockets && !parts_.startSockets()) {
    MessageSink::Current().ShowMessage(SocketFailureText(), kStyleStop);
    return false;
  }

  // 4. Nothing to prepare for the embedded browser on this platform.

  // 5. The profile; everything from here on reads and writes it.
  store_ = parts_.openProfile();
  ProfileStore::SetCurrent(store_.get());
  ServerConfig::Reload();
  ReportDamagedProfile();

  // 6. Where the program is installed, on every start, so that a moved
  // installation is picked up.
  store_->WriteProfileString(profile::kEnvironments, "ProPathName", parts_.executableDirectory);

  // 7. The autostart entry follows the preference, with the current path.
  // Failure (no right to the machine's autostart folder) is not reported.
  if (parts_.autostart)
    parts_.autostart->ApplyAutostart(store_->GetProfileFlag(profile::kEnvironments, "run_at_sysstart") ? 1 : 0);
  return true;
}

void StartupSequence::ReportDamagedProfile() {
  const auto* config = dynamic_cast<const ConfigProfileStore*>(store_.get());
  if (config == nullptr || !config->WasDamaged()) return;
  std::string text;
  if (!config->DamagedCopyPath().empty()) {
    text = Text(
               "저장된 설정 파일이 손상되어 읽을 수 있는 값만 불러왔습니다.\n"
               "손상된 파일은 다음 이름으로 보관했습니다.\n") +
           NativeToCp949(config->DamagedCopyPath());
  } else {
    text = Text(
               "저장된 설정 파일이 손상되었거나 읽을 수 없습니다.\n"
               "이번 실행에서 바꾼 설정은 저장되지 않습니다.\n") +
           NativeToCp949(config->FilePath());
  }
  MessageSink::Current().ShowMessage(text, kStyleStop);
}

}  // namespace veradex
