#pragma once

#include <cstdint>

namespace korvane {

inline constexpr int32_t kMessageHoldFrames = 40;

// Program-wide state of the typed message between frames.
struct MessageState {
    int32_t messageHold = 0;  // -1 while a line is typed; 40 loaded when it is complete
};

}  // namespace korvane
