#include "show/show.h"

namespace korvane {

Show::Show(SoundPlayer& soundPlayer) : sound(soundPlayer) {
    SetDefaultSettings(settings);
    glyphStrip.busyBudget = &busyBudget;
    cursorStrip.busyBudget = &busyBudget;
}

void CreateShowGrid(Show& show, int32_t cols, int32_t rows) {
    // A message that fills the whole record would otherwise be read past its end.
    show.settings.messageText.back() = '\0';
    show.grid = std::make_unique<CodeGrid>(cols, rows, show.random);
    show.typedCount = 0;
    SplitMessageLines(show.message, show.settings.messageText.data());
}

}  // namespace korvane
