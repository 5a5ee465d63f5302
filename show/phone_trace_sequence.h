#pragma once

#include <array>
#include <cstdint>

namespace korvane {

class CodeGrid;
class SoundPlayer;
class ShowRandom;
struct ShowSettings;

inline constexpr std::array<const char*, 4> kTraceHeaderLines = {
    "Call trans opt:",
    "> received.",
    "02-19-98  13:24:18  REC:Log",
    "> Searching...",
};
// Column of each digit slot; entry len is where a number of len characters ends.
inline constexpr std::array<int32_t, 11> kTraceDigitColumns = {8,  10, 12, 16, 18, 20,
                                                               24, 26, 28, 30, 32};
inline constexpr int32_t kTraceMaxDigits = 10;
inline constexpr char kTracePlaceholderLine[] = "Found:  X X X   X X X   X X X X   ";
inline constexpr char kTraceNumberLine[] = " Num:.. 0 0 0   0 0 0   0 0 0 0   ";
inline constexpr char kTraceFoundLineStart[] = "Found:  3 5 2   5 5 5   0 6 9 0   ";
inline constexpr int32_t kTraceRegionWidth = 34;
inline constexpr int32_t kTraceFlickerCount = 1000;
inline constexpr int32_t kTraceHoldFrames = 20;

// Program-wide state of the telephone trace between frames.
struct PhoneTraceState {
    PhoneTraceState();

    int32_t traceLocatedCount = 0;
    int32_t traceHold = 0;
    bool traceTypingSoundStarted = false;
    bool traceSearchSoundStarted = false;
    // Working storage: the number's characters are copied into their slots on every frame.
    std::array<char, sizeof kTraceFoundLineStart> traceFoundLine{};
};

// How many characters of `number` (zero-terminated within `capacity`) the trace shows: the
// slot table places at most ten.
int32_t TraceNumberLength(const char* number, std::size_t capacity);

// One frame of the telephone trace in `grid`, `typed` header characters so far. Answers true
// on the frame in which the trace ends, having reset `typed` and `state` for the next run.
bool StepPhoneTrace(CodeGrid& grid, int32_t& typed, PhoneTraceState& state,
                    const ShowSettings& settings, SoundPlayer& sound, ShowRandom& random);

}  // namespace korvane
