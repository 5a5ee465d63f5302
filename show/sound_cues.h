#pragma once

#include <cstdint>

namespace korvane {

// The program's own wave resources.
inline constexpr int32_t kTraceTypingSound = 133;  // loop under the trace's header
inline constexpr int32_t kTraceSearchSound = 134;  // loop under the search
inline constexpr int32_t kKeyClickSound = 136;     // a typed character or a located digit
inline constexpr int32_t kTitleMusic = 138;        // the title's music

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
