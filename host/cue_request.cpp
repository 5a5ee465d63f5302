#include "host/cue_request.h"

namespace korvane {
namespace {

// Kind in the low byte, the loop flag in bit 8, the id in the high half: one atomic word, so a
// request is never seen half written.
constexpr uint32_t kLoopBit = 1u << 8;
constexpr int kIdShift = 16;
constexpr int32_t kLargestId = 0xFFFF;

}  // namespace

void CueRequestSlot::Put(const CueRequest& request) {
    // An id no resource can have becomes 0, which no resource has either.
    const uint32_t id =
        request.id >= 0 && request.id <= kLargestId ? static_cast<uint32_t>(request.id) : 0;
    packed_.store(
        static_cast<uint32_t>(request.kind) | (request.loop ? kLoopBit : 0) | (id << kIdShift),
        std::memory_order_release);
}

std::optional<CueRequest> CueRequestSlot::Take() {
    const uint32_t packed = packed_.exchange(0, std::memory_order_acquire);
    if (packed == 0) {
        return std::nullopt;
    }
    return CueRequest{static_cast<CueRequest::Kind>(packed & 0xFF),
                      static_cast<int32_t>(packed >> kIdShift), (packed & kLoopBit) != 0};
}

}  // namespace korvane
