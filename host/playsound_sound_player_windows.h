#pragma once

#include <windows.h>

#include <mmsystem.h>

#include "show/sound_cues.h"

namespace korvane {

using PlaySoundFunction = BOOL(WINAPI*)(LPCSTR sound, HMODULE module, DWORD flags);

// The show's sound requests as PlaySoundA calls on the WAVE resources of our own module.
class PlaySoundSoundPlayer : public SoundPlayer {
  public:
    // Tests listen here instead of the speakers.
    PlaySoundFunction playSound = &PlaySoundA;

    void Stop() override;
    void Play(int32_t id, bool loop) override;
    void Purge() override;
};

}  // namespace korvane
