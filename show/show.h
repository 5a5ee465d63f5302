#pragma once

#include <cstdint>
#include <memory>

#include "grid/code_grid.h"
#include "grid/show_random.h"
#include "settings/show_settings.h"
#include "show/message_sequence.h"
#include "show/phone_trace_sequence.h"
#include "show/sound_cues.h"
#include "show/title_sequence.h"
#include "sprites/busy_budget.h"
#include "sprites/show_display.h"
#include "sprites/sprite_strip.h"

namespace korvane {

// The sequencer's states, in the order the show runs them; the trace writes their numbers.
// kSkipped only ever exists within a frame.
enum class SequencerState : int32_t {
    kSkipped = -1,
    kTitle = 0,
    kPhoneTrace = 1,
    kMessage = 2,
    kCodeRain = 3,
    kCodeRainWithTitle = 4,
};

// The running show's program-wide instances. The saver owns exactly one; the simulator and
// tests each build their own. Starts with the default settings and no grid or display.
struct Show {
    explicit Show(SoundPlayer& soundPlayer);

    ShowRandom random;
    ShowSettings settings;
    // Both strips retry "still drawing" on it; FrameTick renews it at every frame's start.
    BusyBudget busyBudget;
    SpriteStrip glyphStrip;
    SpriteStrip cursorStrip;
    std::unique_ptr<CodeGrid> grid;
    ShowDisplay* display = nullptr;  // not owned; replaced at each display set-up
    SoundPlayer& sound;

    SequencerState sequencerState = SequencerState::kTitle;
    int32_t rainFrameCount = 0;
    int32_t typedCount = 0;  // the typing progress of the text sequence on screen
    TitleState title;
    PhoneTraceState phone;
    MessageState message;
};

// Makes the run's grid of cols x rows cells drawn at `cellScale`, drawing its streams from the
// show's generator, and splits the settings' message into lines, as the saver does when its
// window is first shown.
void CreateShowGrid(Show& show, int32_t cols, int32_t rows, int32_t cellScale = 1);

// The run's grid for a screen of width x height pixels at `cellScale`: as many whole cells as
// fit (GridSizeForScreen). The factor must be the one the display's sheet was made at.
void CreateShowGridForScreen(Show& show, int32_t width, int32_t height, int32_t cellScale);

}  // namespace korvane
