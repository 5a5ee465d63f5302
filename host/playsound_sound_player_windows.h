#pragma once

#include <windows.h>

#include "show/sound_cues.h"

namespace korvane {

// The show's sound requests as PlaySoundA calls on the WAVE resources of our own module.
class PlaySoundSoundPlayer : public SoundPlayer {
  public:
    void Stop() override;
    void Play(int32_t id, bool loop) override;
    void Purge() override;
};

}  // namespace korvane
