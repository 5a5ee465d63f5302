#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace korvane {

// The program's own wave resources.
inline constexpr int32_t kTraceTypingSound = KORVANE_SOUND_DATA_LOOP;    // under the trace's header
inline constexpr int32_t kTraceSearchSound = KORVANE_SOUND_SEARCH_LOOP;  // under the search
inline constexpr int32_t kKeyClickSound = KORVANE_SOUND_KEY_CLICK;  // a typed character or a digit
inline constexpr int32_t kTitleMusic = KORVANE_SOUND_TITLE_MUSIC;   // the title's music

// The show's sound requests. One sound plays at a time: every request replaces the sound that
// is playing. Requests are fire-and-forget.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;

    virtual void Stop() = 0;
    virtual void Play(int32_t id, bool loop) = 0;
    virtual void Purge() = 0;
};

}  // namespace korvane
