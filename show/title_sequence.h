#pragma once

#include <array>
#include <cstdint>

namespace korvane {

class CodeGrid;
class SoundPlayer;
struct ShowSettings;

// The seven title and credit lines, each at most as wide as the blank line that erases it.
inline constexpr std::array<const char*, 7> kTitleLines = {
    "Orvandel presents",         "T h e  K o r v a n e#",
    "Direct X Screensaver 2000", "Movie by the Brannock Brothers",
    "Send Comments to:",         "korvane@orvandel.example",
    "www.orvandel.example",
};
inline constexpr char kTitleBlankLine[] = "                                       ";  // 39 spaces
inline constexpr int32_t kTitleHoldFrames = 70;

// Program-wide state of the title between frames.
struct TitleState {
    int32_t titleHold = 0;  // -1 while typing; 70 loaded when a line is complete
    bool titleMusicStarted = false;
};

// Sum of the lengths of the seven lines.
int32_t TitleTotalLength();

// Start column of a centred text of `length` characters. A text wider than the grid starts
// far to the left of it, so that neither it nor its trail touches the grid.
int32_t CenteredColumn(int32_t cols, int32_t length);

// Types the title into `grid` one frame at a time, `typed` characters so far; in the band of
// the rain it keeps to the middle rows and starts the music. Answers true on the frame in which
// the title ends, having reset `typed` and `state` for the next run.
bool StepTitle(CodeGrid& grid, int32_t& typed, bool band, TitleState& state,
               const ShowSettings& settings, SoundPlayer& sound);

}  // namespace korvane
