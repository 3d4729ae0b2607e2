#pragma once

namespace veradex {

// Where the message box's beeps go (types as the classic message beep: 0x10
// stop, 0x20 question, 0x30 exclamation, 0x40 information). The default
// rings the display's bell; tests put a recorder in its place.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  virtual void Beep(unsigned type) = 0;

  static SoundPlayer& Current();
  // nullptr restores the default.
  static void SetCurrent(SoundPlayer* player);
};

}  // namespace veradex
