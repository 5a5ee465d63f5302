#include "show/show.h"

#include "grid/cell_geometry.h"

namespace korvane {

Show::Show(SoundPlayer& soundPlayer) : sound(soundPlayer) {
    SetDefaultSettings(settings);
    glyphStrip.busyBudget = &busyBudget;
    cursorStrip.busyBudget = &busyBudget;
}

void CreateShowGrid(Show& show, int32_t cols, int32_t rows, int32_t cellScale) {
    // A message that fills the whole record would otherwise be read past its end.
    show.settings.messageText.back() = '\0';
    show.grid = std::make_unique<CodeGrid>(cols, rows, show.random, cellScale);
    show.typedCount = 0;
    SplitMessageLines(show.message, show.settings.messageText.data());
}

void CreateShowGridForScreen(Show& show, int32_t width, int32_t height, int32_t cellScale) {
    const GridSize size = GridSizeForScreen(width, height, cellScale);
    CreateShowGrid(show, size.cols, size.rows, cellScale);
}

}  // namespace korvane
