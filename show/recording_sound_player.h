#pragma once

#include "show/show_event_log.h"
#include "show/sound_cues.h"

namespace korvane {

// Stands in for the speakers: writes every request into a log.
class RecordingSoundPlayer : public SoundPlayer {
  public:
    explicit RecordingSoundPlayer(ShowEventLog& log) : log_(log) {}

    void Stop() override { log_.Add({ShowEvent::Kind::kStop, 0, false}); }
    void Play(int32_t id, bool loop) override { log_.Add({ShowEvent::Kind::kPlay, id, loop}); }
    void Purge() override { log_.Add({ShowEvent::Kind::kPurge, 0, false}); }

  private:
    ShowEventLog& log_;
};

}  // namespace korvane
