#include "show/phone_trace_sequence.h"

#include <algorithm>
#include <cstring>

#include "grid/code_grid.h"
#include "settings/show_settings.h"
#include "show/sound_cues.h"

namespace korvane {

namespace {

constexpr int32_t kHeaderRowCount = 4;
constexpr int32_t kSearchLineLength = 14;  // "> Searching...": complete means the search is on
constexpr int32_t kFoundRow = 4;
constexpr int32_t kScrollTop = 5;
constexpr int32_t kFlickerTop = 6;
constexpr int32_t kFlickerWidth = 20;
constexpr int32_t kLocateChance = 97;  // a draw above this out of 100 locates a digit

}  // namespace

PhoneTraceState::PhoneTraceState() {
    std::memcpy(traceFoundLine.data(), kTraceFoundLineStart, sizeof kTraceFoundLineStart);
}

int32_t TraceNumberLength(const char* number, std::size_t capacity) {
    const void* end = std::memchr(number, '\0', capacity);
    const std::size_t length =
        end == nullptr ? capacity
                       : static_cast<std::size_t>(static_cast<const char*>(end) - number);
    return static_cast<int32_t>(std::min<std::size_t>(length, kTraceMaxDigits));
}

bool StepPhoneTrace(CodeGrid& grid, int32_t& typed, PhoneTraceState& state,
                    const ShowSettings& settings, SoundPlayer& sound, ShowRandom& random) {
    const char* number = settings.phoneNumber.data();
    const int32_t length = TraceNumberLength(number, settings.phoneNumber.size());
    for (int32_t j = 0; j < length; ++j) {
        state.traceFoundLine[static_cast<size_t>(kTraceDigitColumns[j])] = number[j];
    }
    // The placeholder and number lines show only as many slots as the number has.
    const int32_t lineEnd = kTraceDigitColumns[static_cast<size_t>(length)];
    grid.redrawRegion = {0, 0, kTraceRegionWidth, grid.rows};

    if (state.traceLocatedCount < length) {
        grid.SetCodeMode(false);
        int32_t c = typed;
        int32_t shown = 0;
        for (int32_t i = 0; i < kHeaderRowCount; ++i) {
            const char* line = kTraceHeaderLines[static_cast<size_t>(i)];
            const auto full = static_cast<int32_t>(std::strlen(line));
            if (c > full) {
                shown = full;
                c -= full;
            } else {
                shown = c;
                c = 0;
            }
            grid.WritePartial(0, i, line, shown, 0);
        }

        if (shown < kSearchLineLength) {
            if (!state.traceTypingSoundStarted) {
                sound.Stop();
                if (settings.soundEnabled) {
                    sound.Play(kTraceTypingSound, true);
                }
                state.traceTypingSoundStarted = true;
            }
        } else {
            if (!state.traceSearchSoundStarted) {
                sound.Stop();
                if (settings.soundEnabled) {
                    sound.Play(kTraceSearchSound, true);
                }
                state.traceSearchSoundStarted = true;
            }
            grid.ShiftRowsUp(kScrollTop);
            grid.WritePartial(0, grid.rows - 1, kTraceNumberLine, lineEnd, 1);
            grid.WritePartial(0, kFoundRow, kTracePlaceholderLine, lineEnd, 1);

            const int32_t flickerLeft =
                kTraceDigitColumns[static_cast<size_t>(state.traceLocatedCount)];
            const int32_t flickerRows = grid.rows - kScrollTop;
            for (int32_t i = 0; i < kTraceFlickerCount; ++i) {
                const int32_t level = random.Next() % 4;
                const int32_t rowDraw = random.Next();
                const int32_t columnDraw = random.Next();
                // Without a row below the number line there is nothing to flicker; the
                // draws are still made so the show keeps its sequence of numbers.
                if (flickerRows > 0) {
                    const int32_t row = kFlickerTop + rowDraw % flickerRows;
                    const int32_t column = columnDraw % kFlickerWidth + flickerLeft;
                    grid.SetLevel(column, row, level);
                }
            }

            char slot[2] = {'\0', '\0'};
            for (int32_t j = 0; j < length; ++j) {
                const int32_t column = kTraceDigitColumns[static_cast<size_t>(j)];
                if (j < state.traceLocatedCount) {
                    slot[0] = state.traceFoundLine[static_cast<size_t>(column)];
                } else {
                    slot[0] = static_cast<char>('0' + random.Next() % 10);
                }
                grid.WritePartial(column, grid.rows - 1, slot, 1, 1);
            }

            if (random.Next() % 100 > kLocateChance) {
                const int32_t column =
                    kTraceDigitColumns[static_cast<size_t>(state.traceLocatedCount)];
                slot[0] = state.traceFoundLine[static_cast<size_t>(column)];
                for (int32_t row = kScrollTop; row < grid.rows; ++row) {
                    grid.WritePartial(column, row, slot, 1, 1);
                }
                state.traceLocatedCount = std::min(state.traceLocatedCount + 1, length);
                sound.Stop();
                if (settings.soundEnabled) {
                    sound.Play(kKeyClickSound, false);
                }
                state.traceSearchSoundStarted = false;
            }
            grid.WritePartial(0, kFoundRow, state.traceFoundLine.data(),
                              kTraceDigitColumns[static_cast<size_t>(state.traceLocatedCount)], 2);
        }

        // The prompt characters of "> received." and "> Searching..." stay bright.
        grid.SetLevel(0, 1, 3);
        grid.SetLevel(0, 3, 3);
        ++typed;
        if (state.traceLocatedCount < length) {
            return false;
        }
    }

    const int32_t hold = state.traceHold;
    --state.traceHold;
    if (hold >= -kTraceHoldFrames) {
        return false;
    }
    state.traceLocatedCount = 0;
    state.traceHold = 0;
    state.traceTypingSoundStarted = false;
    state.traceSearchSoundStarted = false;
    grid.Fill();
    typed = 0;
    return true;
}

}  // namespace korvane
