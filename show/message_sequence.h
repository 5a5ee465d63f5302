#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

class CodeGrid;
class SoundPlayer;
class ShowRandom;
struct ShowSettings;

inline constexpr int32_t kMessageHoldFrames = 40;

// Program-wide state of the typed message between frames.
struct MessageState {
    MessageState() = default;
    MessageState(const MessageState&) = delete;  // `lines` point into `text`
    MessageState& operator=(const MessageState&) = delete;

    int32_t messageHold = 0;  // -1 while a line is typed; 40 loaded when it is complete
    std::vector<const char*> lines;
    std::string text;  // the message with each line feed made a terminator
};

// Splits `message` into `state.lines`: carriage returns vanish, line feeds end lines and
// empty lines are dropped. The lines point into the state's own copy.
void SplitMessageLines(MessageState& state, const char* message);

// One frame of the message in `grid`, `typed` characters so far. Answers true on the frame in
// which the message ends, having reset `typed` and `state` for the next run.
bool StepMessage(CodeGrid& grid, int32_t& typed, MessageState& state, const ShowSettings& settings,
                 SoundPlayer& sound, ShowRandom& random);

}  // namespace korvane
