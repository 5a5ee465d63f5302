#include "show/show_sequencer.h"

#include "grid/cell_geometry.h"
#include "show/show.h"

namespace korvane {

namespace {

// After the combined state, or a cycle's end that skipped it, a wipe is wanted only when a
// text sequence follows that would otherwise start on the rain.
bool WipeIsDue(int32_t state, const ShowSettings& settings) {
    switch (state) {
        case kStateTitle:
        case kStatePhoneTrace:
        case kStateMessage:
            return true;
        case kStateCodeRainWithTitle:
        case kStateSkipped:
            return settings.phoneEnabled || settings.messageEnabled;
        default:
            return false;
    }
}

}  // namespace

void ShowSequencer::Step(Show& show, int32_t frame) {
    CodeGrid& grid = *show.grid;
    const ShowSettings& settings = show.settings;
    int32_t& state = show.sequencerState;
    bool finished = false;
    bool dispatched = false;

    // A switched-off sequence hands over to the next state within this frame.
    if (state == kStateTitle) {
        if (settings.titleEnabled) {
            finished = StepTitle(grid, show.typedCount, true, show.title, settings, show.sound);
            dispatched = true;
        } else {
            state = kStatePhoneTrace;
        }
    }
    if (!dispatched && state == kStatePhoneTrace) {
        if (settings.phoneEnabled) {
            finished = StepPhoneTrace(grid, show.typedCount, show.phone, settings, show.sound,
                                      show.random);
            dispatched = true;
        } else {
            state = kStateMessage;
        }
    }
    if (!dispatched && state == kStateMessage) {
        if (settings.messageEnabled) {
            finished =
                StepMessage(grid, show.typedCount, show.message, settings, show.sound, show.random);
            dispatched = true;
        } else {
            state = kStateCodeRain;
        }
    }
    if (!dispatched && state == kStateCodeRain) {
        if (settings.codeEnabled) {
            finished = grid.StepCodeRain(true, show.rainFrameCount, show.random);
        } else {
            // A skipped end of the cycle counts as finished, so it wipes before text.
            state = kStateSkipped;
            finished = true;
        }
        dispatched = true;
    }
    if (!dispatched && state == kStateCodeRainWithTitle) {
        if (settings.codeEnabled && settings.titleEnabled) {
            grid.StepCodeRain(false, show.rainFrameCount, show.random);
            finished = StepTitle(grid, show.typedCount, false, show.title, settings, show.sound);
        } else {
            state = kStateSkipped;
            finished = true;
        }
    }

    // The frame shown is the one chosen a tick earlier.
    show.cursorStrip.Draw(grid.cursorColumn * kCellWidth, grid.cursorRow * kCellHeight);
    if (show.cursorStrip.frameCount > 0) {
        show.cursorStrip.SelectFrame(frame % show.cursorStrip.frameCount);
    }

    if (finished) {
        if (WipeIsDue(state, settings)) {
            if (show.display != nullptr) {
                show.display->ClearFlipClear();
            }
            grid.Fill();
        }
        ++state;
    }
    if (state > kStateCodeRainWithTitle) {
        state = kStatePhoneTrace;
    } else if (state < kStateTitle) {
        state = kStateTitle;
    }
}

}  // namespace korvane
