#include "x11/show_run.h"

#include "frontend/memory_show.h"
#include "grid/cell_geometry.h"
#include "show/frame_tick.h"

namespace korvane {

ShowRun::ShowRun(const ShowSwitches& switches, const IndexedBitmap& sheet, int32_t width,
                 int32_t height, int32_t cellScale)
    : show_(sound_) {
    ApplyShowSwitches(switches, show_.settings);
    show_.settings.soundEnabled = false;
    const GridSize grid = GridSizeForScreen(width, height, cellScale);
    if (grid.cols >= 1 && grid.rows >= 1) {
        CreateShowGridForScreen(show_, width, height, cellScale);
    }
    pages_ = MakeShowPages(show_, width, height, sheet, cellScale);
    show_.display = pages_.get();
}

void ShowRun::Tick() {
    FrameTick(show_, frame_);
    ++frame_;
}

}  // namespace korvane
