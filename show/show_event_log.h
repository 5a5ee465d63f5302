#pragma once

#include <cstdint>
#include <vector>

namespace korvane {

// What the headless world heard and saw, in order: sound requests and display wipes.
struct ShowEvent {
    enum class Kind { kStop, kPlay, kPurge, kWipe };
    Kind kind = Kind::kStop;
    int32_t soundId = 0;
    bool loop = false;
};

// Kept in order of arrival. Room is reserved up front so that recording a frame's few events
// does not allocate once the log has been cleared.
class ShowEventLog {
  public:
    ShowEventLog() { events.reserve(64); }
    virtual ~ShowEventLog() = default;

    void Add(const ShowEvent& event) { events.push_back(event); }
    void Clear() { events.clear(); }

    std::vector<ShowEvent> events;
};

}  // namespace korvane
