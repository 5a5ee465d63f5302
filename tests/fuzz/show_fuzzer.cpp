// Runs the whole show over fuzzed settings and screen sizes. The first bytes choose the
// switches, the grid and the frame count; the rest split into the number and the message.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "show/frame_tick.h"
#include "show/headless_show_display.h"
#include "show/recording_sound_player.h"
#include "show/show.h"

namespace {

constexpr std::size_t kHeaderBytes = 6;
constexpr int32_t kMaxFrames = 4000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace korvane;
    if (size < kHeaderBytes) {
        return 0;
    }
    const uint8_t switches = data[0];
    const int32_t cols = data[1] % 96;  // includes empty and narrow grids
    const int32_t rows = data[2] % 48;
    const int32_t frames = 1 + (static_cast<int32_t>(data[3]) << 4) % kMaxFrames;
    const std::size_t numberLength = std::min<std::size_t>(data[4] % 16, size - kHeaderBytes);
    const int32_t startState = data[5] % 5;
    const uint8_t* number = data + kHeaderBytes;
    const uint8_t* message = number + numberLength;
    const std::size_t messageLength = size - kHeaderBytes - numberLength;

    ShowEventLog log;
    RecordingSoundPlayer sound(log);
    HeadlessShowDisplay display(log);
    Show show(sound);
    show.display = &display;
    show.settings.titleEnabled = (switches & 1) != 0;
    show.settings.phoneEnabled = (switches & 2) != 0;
    show.settings.messageEnabled = (switches & 4) != 0;
    show.settings.codeEnabled = (switches & 8) != 0;
    show.settings.soundEnabled = (switches & 16) != 0;
    // The record's arrays may be filled to the brim, terminator or not.
    show.settings.phoneNumber.fill('\0');
    std::memcpy(show.settings.phoneNumber.data(), number,
                std::min(numberLength, show.settings.phoneNumber.size()));
    show.settings.messageText.fill('\0');
    std::memcpy(show.settings.messageText.data(), message,
                std::min(messageLength, show.settings.messageText.size()));
    for (int i = 0; i < 8; ++i) {
        show.cursorStrip.AddFrame(i * 16, 0, i * 16 + 16, 24);
    }
    CreateShowGrid(show, cols, rows);
    show.sequencerState = startState;

    for (int32_t t = 0; t < frames; ++t) {
        log.Clear();
        FrameTick(show, t);
        if (show.sequencerState < 0 || show.sequencerState > 4) {
            __builtin_trap();  // a state outside 0..4 never survives a frame
        }
    }
    return 0;
}
