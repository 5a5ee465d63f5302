#pragma once

#include <cstdint>
#include <string>

#include "grid/show_random.h"

namespace korvane {

// One falling-code stream: `length` spaces followed by `length` random letters, viewed from
// `offset` on. The offset walks from 2 * length down to -1, one step every delay + 1 frames,
// and the stream renews itself with fresh letters, speed and head marking once it has run out.
class RainColumn {
  public:
    static constexpr int32_t kDefaultLength = 20;

    // Default making: length 20, Randomize, then offset 0 whatever was drawn.
    explicit RainColumn(ShowRandom& random);
    virtual ~RainColumn() = default;

    RainColumn(RainColumn&&) = default;
    RainColumn& operator=(RainColumn&&) = default;

    // New length and new draws; keeps the offset that Randomize drew (0 or length).
    void Remake(int32_t newLength, ShowRandom& random);

    // Draws offset, delay (and countdown), state, then the letters first to last.
    void Randomize(ShowRandom& random);

    // The view for this frame, taken before the stream steps; then counts down and steps.
    // The pointer stays valid until the next call: a renewal refills the text in place.
    const char* NextView(ShowRandom& random);

    int32_t state = 0;
    int32_t countdown = 0;
    int32_t delay = 0;
    int32_t length = 0;
    int32_t offset = 0;
    std::string text;
};

}  // namespace korvane
