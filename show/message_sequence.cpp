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

void SplitMessageLines(MessageState& state, const char* message) {
    state.lines.clear();
    state.text.clear();
    for (const char* p = message; *p != '\0'; ++p) {
        if (*p != '\r') {
            state.text.push_back(*p == '\n' ? '\0' : *p);
        }
    }
    state.text.push_back('\0');
    for (size_t i = 0; i < state.text.size(); ++i) {
        if (state.text[i] != '\0' && (i == 0 || state.text[i - 1] == '\0')) {
            state.lines.push_back(state.text.c_str() + i);
        }
    }
}

bool StepMessage(CodeGrid& grid, int32_t& typed, MessageState& state, const ShowSettings& settings,
                 SoundPlayer& sound, ShowRandom& random) {
    grid.redrawRegion = {0, 0, grid.cols, kMessageRegionRows};
    grid.SetCodeMode(false);

    int32_t c = typed;
    int32_t totalLength = 0;
    grid.WriteRow(0, 0, grid.blankRow.c_str(), 0);
    for (const char* line : state.lines) {
        const auto n = static_cast<int32_t>(std::strlen(line));
        totalLength += n;
        if (n < c) {
            c -= n;
            continue;
        }
        if (n == c && state.messageHold == -1) {
            state.messageHold = kMessageHoldFrames;
        }
        grid.WritePartial(0, 0, line, c, 0);
        c = 0;
    }

    const int32_t hold = state.messageHold;
    --state.messageHold;
    if (hold < kTypingWindow) {
        if (random.Next() % 100 > kKeyPressChance) {
            ++typed;
            if (settings.soundEnabled) {
                sound.Play(kKeyClickSound, false);
            }
            state.messageHold = -1;
        }
    }

    if (typed > totalLength) {
        grid.Fill();
        typed = 0;
        grid.WriteRow(0, 0, " ", 0);
        return true;
    }
    return false;
}

}  // namespace korvane
