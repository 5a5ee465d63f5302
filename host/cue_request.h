#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

namespace korvane {

// One of the show's sound requests on its way to the player.
struct CueRequest {
    enum class Kind : uint8_t { kStop = 1, kPlay, kPurge };
    Kind kind = Kind::kStop;
    int32_t id = 0;  // a resource id (16 bits); for kPlay only
    bool loop = false;

    bool operator==(const CueRequest&) const = default;
};

// The hand-over from the window thread to the player thread: one request deep, the newest
// wins. A request the player has not taken yet is replaced by the next, which is what the device
// would have done with it anyway, since every request cuts the one before. Neither side ever
// waits for the other.
class CueRequestSlot {
  public:
    void Put(const CueRequest& request);
    // The newest request since the last Take, which empties the slot.
    std::optional<CueRequest> Take();

  private:
    std::atomic<uint32_t> packed_{0};  // 0: empty
};

}  // namespace korvane
