#include "show/title_sequence.h"

#include <climits>
#include <cstring>

#include "grid/code_grid.h"
#include "settings/show_settings.h"
#include "show/sound_cues.h"

namespace korvane {

namespace {

constexpr int32_t kTitleBlankLength = static_cast<int32_t>(sizeof kTitleBlankLine) - 1;
constexpr int32_t kTrailStartBrightness = 15;

// Brightness of a complete line over its hold: it swells to level 3 and fades back to 0.
int32_t HoldLevel(int32_t hold) {
    if (hold <= 30) {
        return 0;
    }
    if (hold < 50) {
        return (hold - 30) / 6;
    }
    return 3 - (hold - 50) / 6;
}

}  // namespace

int32_t TitleTotalLength() {
    int32_t total = 0;
    for (const char* line : kTitleLines) {
        total += static_cast<int32_t>(std::strlen(line));
    }
    return total;
}

int32_t CenteredColumn(int32_t cols, int32_t length) {
    if (length > cols) {
        // Far enough left that start + any trail offset stays outside, without overflow.
        return INT32_MIN / 2;
    }
    return (cols - length) / 2;
}

bool StepTitle(CodeGrid& grid, int32_t& typed, bool band, TitleState& state,
               const ShowSettings& settings, SoundPlayer& sound) {
    const int32_t middle = grid.rows / 2;
    if (band) {
        grid.redrawRegion = {0, middle - 2, grid.cols, middle + 3};
        if (!state.titleMusicStarted && settings.soundEnabled) {
            sound.Stop();
            sound.Play(kTitleMusic, false);
            state.titleMusicStarted = true;
        }
    } else {
        grid.redrawRegion = {0, 0, grid.cols, grid.rows};
    }

    int32_t c = typed;
    grid.WriteRow(CenteredColumn(grid.cols, kTitleBlankLength), middle, kTitleBlankLine, 0);
    for (const char* line : kTitleLines) {
        const auto n = static_cast<int32_t>(std::strlen(line));
        if (n < c) {
            c -= n;
            continue;
        }
        if (n == c && state.titleHold == -1) {
            state.titleHold = kTitleHoldFrames;
        }
        grid.SetCodeMode(false);
        const int32_t start = CenteredColumn(grid.cols, n);
        grid.WritePartial(start, middle, line, c, 0);
        if (c == n) {
            grid.WritePartial(start, middle, line, c, HoldLevel(state.titleHold));
        } else if (c >= 1) {
            // A bright trail behind the newest characters, starting at the cursor cell.
            int32_t brightness = kTrailStartBrightness;
            for (int32_t j = c; j >= 1; --j) {
                grid.SetLevel(start + j, middle, brightness / 4);
                if (brightness > 0) {
                    --brightness;
                }
            }
        }
        grid.SetCodeMode(true);
        c = 0;
    }

    const int32_t hold = state.titleHold;
    --state.titleHold;
    if (hold <= 0) {
        ++typed;
        state.titleHold = -1;
    }

    if (typed > TitleTotalLength()) {
        state.titleMusicStarted = false;
        grid.WriteRow(0, 0, " ", 0);
        typed = 0;
        return true;
    }
    return false;
}

}  // namespace korvane
