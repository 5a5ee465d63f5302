#include "host/playsound_sound_player_windows.h"

#include <mmsystem.h>

namespace korvane {
namespace {

HMODULE OwnModule() {
    return GetModuleHandleA(nullptr);
}

}  // namespace

void PlaySoundSoundPlayer::Stop() {
    playSound(nullptr, OwnModule(), SND_RESOURCE | SND_ASYNC);
}

void PlaySoundSoundPlayer::Play(int32_t id, bool loop) {
    const DWORD flags = SND_RESOURCE | SND_ASYNC | (loop ? SND_LOOP : 0);
    playSound(MAKEINTRESOURCEA(id), OwnModule(), flags);
}

void PlaySoundSoundPlayer::Purge() {
    playSound(nullptr, OwnModule(), SND_PURGE | SND_ASYNC);
}

}  // namespace korvane
