#pragma once

#include "show/sound_cues.h"

namespace korvane {

// The X11 program plays no sound: the show's requests go nowhere.
class SilentSoundPlayer final : public SoundPlayer {
  public:
    void Stop() override {}
    void Play(int32_t, bool) override {}
    void Purge() override {}
};

}  // namespace korvane
