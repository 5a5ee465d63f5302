#include "show/frame_tick.h"

#include "show/show.h"
#include "show/show_sequencer.h"

namespace korvane {

void FrameTick(Show& show, int32_t frame) {
    if (!show.grid) {
        return;
    }
    show.busyBudget.Renew();
    if (show.display != nullptr) {
        show.display->FlipPages();
    }
    show.grid->Render(show.glyphStrip);
    ShowSequencer::Step(show, frame);
}

}  // namespace korvane
