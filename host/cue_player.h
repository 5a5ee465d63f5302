#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "host/cue_request.h"
#include "host/wave_device.h"
#include "host/wave_samples.h"

namespace korvane {

// A sound the player can play: the show's id for it and its recording.
struct PlayerCue {
    int32_t id = 0;
    WaveSamples wave;
};

inline constexpr int32_t kMaxPlayerCues = 7;

// Carries the show's sound requests out on a device, all on one thread. A new cue cuts the one
// that plays, a looped cue repeats until the next request, and stop and purge silence it.
// Without a device (none, or one that would not open) every request is dropped and nothing is
// tried again.
class CuePlayer {
  public:
    // Opens `device` at the highest rate among `cues` and prepares one buffer for each, all at
    // that rate, and one of half a second of silence. Everything the player will need is
    // allocated here. False, with the device never touched again, when there is nothing to
    // play or the device does not open.
    bool Open(WaveDevice& device, std::span<const PlayerCue> cues);
    void Carry(const CueRequest& request);
    // Played for a while before the show starts, silence makes the device set up what it would
    // otherwise make during the first cues (under Wine: a timer thread, and the buffer for a
    // write that runs past the end of its ring).
    void PlaySilence();
    // Silences and closes the device; the player is silent from then on.
    void Close();

  private:
    void Cut();

    WaveDevice* device_ = nullptr;  // null while silent
    int32_t cueCount_ = 0;
    std::array<int32_t, kMaxPlayerCues> ids_{};
    std::array<bool, kMaxPlayerCues> prepared_{};
    std::array<std::vector<uint8_t>, kMaxPlayerCues> buffers_;
    std::vector<uint8_t> silence_;  // in the slot after the last cue
    bool silencePrepared_ = false;
    bool written_ = false;  // the device may still play something
};

}  // namespace korvane
