#include "ui/skin/SoundPlayer.h"

#include <atomic>

#include <wx/utils.h>

namespace veradex {

namespace {

class BellPlayer : public SoundPlayer {
 public:
  void Beep(unsigned) override { wxBell(); }
};

std::atomic<SoundPlayer*> currentPlayer{nullptr};

}  // namespace

SoundPlayer& SoundPlayer::Current() {
  SoundPlayer* player = currentPlayer.load();
  if (player != nullptr) return *player;
  static BellPlayer bell;
  return bell;
}

void SoundPlayer::SetCurrent(SoundPlayer* player) { currentPlayer.store(player); }

}  // namespace veradex
