#include "app/StartupSequence.h"

#include <wx/string.h>

#include <utility>

#include "platform/Cp949.h"
#include "platform/ExecutablePath.h"
#include "platform/MessageSink.h"
#include "platform/NativePath.h"
#include "platform/SocketLayer.h"
#include "profile/PersonalProfile.h"
#include "profile/Preferences.h"
#include "profile/ProgramPassword.h"
#include "profile/ProgramProfile.h"
#include "profile/ServerSettings.h"

namespace veradex {

StartupSequence::Parts StartupSequence::ProgramParts() {
  Parts parts;
  const std::string applicationName = ExecutablePath::GetExecutableBaseName();
  parts.instanceGuard =
      std::make_unique<SingleInstanceGuard>(SingleInstanceGuard::kMarkerName, ProgramProfile::Folder());
  parts.startSockets = [] { return SocketLayer::Start(); };
  parts.openProfile = [applicationName]() -> std::unique_ptr<ProfileStore> {
    return ProgramProfile::Open(applicationName.empty() ? std::string("veradex") : applicationName);
  };
  parts.autostart = std::make_unique<Autostart>(Autostart::ForThisProgram());
  parts.executableDirectory = ExecutablePath::GetExecutableDirectory();
  return parts;
}

StartupSequence::StartupSequence(Parts parts) : parts_(std::move(parts)) {}

StartupSequence::~StartupSequence() {
  if (store_ && &ProfileStore::Current() == store_.get()) ProfileStore::SetCurrent(nullptr);
}

std::string StartupSequence::AlreadyRunningText() { return Cp949::FromUtf8("프로그램이 이미 실행되어 있습니다..."); }

std::string StartupSequence::SocketFailureText() { return Cp949::FromUtf8("소켓초기화에 실패하였습니다..."); }

std::string StartupSequence::AuthenticationFailedText() { return Cp949::FromUtf8("인증에 실패하였습니다."); }

bool StartupSequence::Run() {
  if (!RunProfileSteps() || !RunPasswordStep()) return false;
  RunWindowSteps();
  return true;
}

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
  ServerSettings::Reload();
  ReportDamagedProfile();

  // 6. Where the program is installed, on every start, so that a moved
  // installation is picked up.
  Preferences preferences = Preferences::Load(*store_);
  preferences.programDir = parts_.executableDirectory;
  preferences.SaveProgramDir(*store_);

  // 7. The autostart entry follows the preference, with the current path.
  // Failure (no right to the machine's autostart folder) is not reported.
  if (parts_.autostart) parts_.autostart->ApplyAutostart(preferences.runAtStart ? 1 : 0);
  return true;
}

bool StartupSequence::RunPasswordStep() {
  if (!store_) return false;
  ProgramPassword password(*store_);
  if (!password.IsSet()) {
    // First run (or a set-up never finished): a password before anything
    // else, even if one is stored from before. No check follows on this run.
    std::unique_ptr<PasswordPrompt> setup = parts_.makeSetupDialog ? parts_.makeSetupDialog() : nullptr;
    if (!setup || setup->DoModal() != kIdOk) return false;
    // The password before the mark, so no mark is ever left without it. A
    // profile that cannot be written was reported when it was opened; the
    // program still runs, and asks again next time.
    password.Set(setup->Password());
    password.MarkSetUp();
    return true;
  }

  if (!Preferences::Load(*store_).usePassword) return true;
  std::unique_ptr<PasswordPrompt> login = parts_.makeLoginDialog ? parts_.makeLoginDialog() : nullptr;
  if (!login || login->DoModal() != kIdOk) return false;
  // As many attempts as the user wants; the same dialog each time, so it
  // still holds the last entry.
  while (!password.Matches(login->Password())) {
    MessageSink::Current().ShowMessage(AuthenticationFailedText(), kStyleStop);
    if (login->DoModal() != kIdOk) return false;
  }
  return true;
}

void StartupSequence::RunWindowSteps() {
  // 9. The tray window; unless the window is to start hidden it already
  // makes the report window, hidden.
  if (parts_.createTrayWindow) parts_.createTrayWindow();
  // 10. The personal data, before any window shows it.
  if (store_) PersonalProfile::Global().Load(*store_);
  // 11. The icon, and the report window shown (or only created).
  if (parts_.installTrayIcon) parts_.installTrayIcon();
}

void StartupSequence::ReportDamagedProfile() {
  const ProfileStore* store = store_.get();
  if (store == nullptr || !store->WasDamaged()) return;
  std::string text;
  if (!store->DamagedCopyPath().empty()) {
    text = Cp949::FromUtf8(
               "저장된 설정 파일이 손상되어 읽을 수 있는 값만 불러왔습니다.\n"
               "손상된 파일은 다음 이름으로 보관했습니다.\n") +
           NativePath::ToCp949(store->DamagedCopyPath());
  } else {
    text = Cp949::FromUtf8(
               "저장된 설정 파일이 손상되었거나 읽을 수 없습니다.\n"
               "이번 실행에서 바꾼 설정은 저장되지 않습니다.\n") +
           NativePath::ToCp949(store->Location());
  }
  MessageSink::Current().ShowMessage(text, kStyleStop);
}

}  // namespace veradex
