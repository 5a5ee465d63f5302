#include "show/show_sequencer.h"

#include "grid/cell_geometry.h"
#include "show/show.h"

namespace korvane {

namespace {

// After the combined state, or a cycle's end that skipped it, a wipe is wanted only when a
// text sequence follows that would otherwise start on the rain.
bool WipeIsDue(SequencerState state, const ShowSettings& settings) {
    switch (state) {
        case SequencerState::kTitle:
        case SequencerState::kPhoneTrace:
        case SequencerState::kMessage:
            return true;
        case SequencerState::kCodeRainWithTitle:
        case SequencerState::kSkipped:
            return settings.phoneEnabled || settings.messageEnabled;
        default:
            return false;
    }
}

}  // namespace

void ShowSequencer::Step(Show& show, int32_t frame) {
    CodeGrid& grid = *show.grid;
    const ShowSettings& settings = show.settings;
    SequencerState& state = show.sequencerState;
    bool finished = false;
    bool dispatched = false;

    // A switched-off sequence hands over to the next state within this frame.
    if (state == SequencerState::kTitle) {
        if (settings.titleEnabled) {
            finished = StepTitle(grid, show.typedCount, true, show.title, settings, show.sound);
            dispatched = true;
        } else {
            state = SequencerState::kPhoneTrace;
        }
    }
    if (!dispatched && state == SequencerState::kPhoneTrace) {
        if (settings.phoneEnabled) {
            finished = StepPhoneTrace(grid, show.typedCount, show.phone, settings, show.sound,
                                      show.random);
            dispatched = true;
        } else {
            state = SequencerState::kMessage;
        }
    }
    if (!dispatched && state == SequencerState::kMessage) {
        if (settings.messageEnabled) {
            finished =
                StepMessage(grid, show.typedCount, show.message, settings, show.sound, show.random);
            dispatched = true;
        } else {
            state = SequencerState::kCodeRain;
        }
    }
    if (!dispatched && state == SequencerState::kCodeRain) {
        if (settings.codeEnabled) {
            finished = grid.StepCodeRain(true, show.rainFrameCount, show.random);
        } else {
            // A skipped end of the cycle counts as finished, so it wipes before text.
            state = SequencerState::kSkipped;
            finished = true;
        }
        dispatched = true;
    }
    if (!dispatched && state == SequencerState::kCodeRainWithTitle) {
        if (settings.codeEnabled && settings.titleEnabled) {
            grid.StepCodeRain(false, show.rainFrameCount, show.random);
            finished = StepTitle(grid, show.typedCount, false, show.title, settings, show.sound);
        } else {
            state = SequencerState::kSkipped;
            finished = true;
        }
    }

    // The frame shown is the one chosen a tick earlier.
    show.cursorStrip.Draw(grid.cursorColumn * CellWidthAt(grid.cellScale),
                          grid.cursorRow * CellHeightAt(grid.cellScale));
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
        state = static_cast<SequencerState>(static_cast<int32_t>(state) + 1);
    }
    if (state > SequencerState::kCodeRainWithTitle) {
        state = SequencerState::kPhoneTrace;
    } else if (state < SequencerState::kTitle) {
        state = SequencerState::kTitle;
    }
}

}  // namespace korvane
