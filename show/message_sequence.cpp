#include "show/message_sequence.h"

#include <cstring>

#include "grid/code_grid.h"
#include "settings/show_settings.h"
#include "show/sound_cues.h"

namespace korvane {

namespace {

constexpr int32_t kMessageRegionRows = 7;
constexpr int32_t kTypingWindow = 10;    // the hold must fall below this before typing resumes
constexpr int32_t kKeyPressChance = 85;  // a draw above this out of 100 types a character

}  // namespace

bool CodeGrid::StepMessage(MessageState& state, const ShowSettings& settings, SoundPlayer& sound,
                           ShowRandom& random) {
    redrawRegion = {0, 0, cols, kMessageRegionRows};
    SetCodeMode(false);

    int32_t c = stepCounter;
    int32_t totalLength = 0;
    WriteRow(0, 0, blankRow.c_str(), 0);
    for (const char* line : messageLines) {
        const auto n = static_cast<int32_t>(std::strlen(line));
        totalLength += n;
        if (n < c) {
            c -= n;
            continue;
        }
        if (n == c && state.messageHold == -1) {
            state.messageHold = kMessageHoldFrames;
        }
        WritePartial(0, 0, line, c, 0);
        c = 0;
    }

    const int32_t hold = state.messageHold;
    --state.messageHold;
    if (hold < kTypingWindow) {
        if (random.Next() % 100 > kKeyPressChance) {
            ++stepCounter;
            if (settings.soundEnabled) {
                sound.Play(kKeyClickSound, false);
            }
            state.messageHold = -1;
        }
    }

    if (stepCounter > totalLength) {
        Fill();
        ResetStepCounter();
        WriteRow(0, 0, " ", 0);
        return true;
    }
    return false;
}

}  // namespace korvane
