#include <gtest/gtest.h>

#include "grid/glyph_charset.h"
#include "show_test_support.h"

namespace korvane {
namespace {

using testing::EventNames;
using testing::ShowRig;

struct TitleRun {
    int32_t frames = 0;
    std::vector<int32_t> firstCellLevels;  // level of line 0's first cell, frame by frame
};

TitleRun RunTitle(ShowRig& rig, bool band) {
    TitleRun run;
    CodeGrid& grid = *rig.show.grid;
    const int32_t start = CenteredColumn(grid.cols, 17);
    for (int32_t i = 0; i < 5000; ++i) {
        const bool done = StepTitle(grid, rig.show.typedCount, band, rig.show.title,
                                    rig.show.settings, rig.sound);
        ++run.frames;
        if (grid.InGrid(start, grid.rows / 2)) {
            run.firstCellLevels.push_back(grid.CellAt(start, grid.rows / 2) & 3);
        }
        if (done) {
            break;
        }
    }
    return run;
}

TEST(TitleSequence, BandRunLastsTotalLengthPlus491FramesWithOneCueOfMusic) {
    ShowRig rig;
    CreateShowGrid(rig.show, 40, 20);
    EXPECT_EQ(TitleTotalLength(), 154);
    const TitleRun run = RunTitle(rig, true);
    EXPECT_EQ(run.frames, TitleTotalLength() + 491);
    EXPECT_EQ(EventNames(rig.log), (std::vector<std::string>{"stop", "play 138"}));
    const CodeGrid& grid = *rig.show.grid;
    EXPECT_EQ(grid.redrawRegion.top, 8);
    EXPECT_EQ(grid.redrawRegion.bottom, 13);
    EXPECT_EQ(grid.redrawRegion.right, 40);
    // End: the music flag is cleared, the counter reset, the cursor after one blank.
    EXPECT_FALSE(rig.show.title.titleMusicStarted);
    EXPECT_EQ(rig.show.typedCount, 0);
    EXPECT_EQ(grid.CellAt(0, 0), kBlankCellCode);
    EXPECT_EQ(grid.cursorColumn, 1);
    EXPECT_EQ(grid.cursorRow, 0);
    EXPECT_TRUE(grid.codeMode);

    // The next run starts afresh: same length, music again.
    rig.log.Clear();
    EXPECT_EQ(RunTitle(rig, true).frames, TitleTotalLength() + 491);
    EXPECT_EQ(EventNames(rig.log), (std::vector<std::string>{"stop", "play 138"}));
}

TEST(TitleSequence, CompleteLineSwellsAndFadesOverItsHold) {
    ShowRig rig;
    CreateShowGrid(rig.show, 40, 20);
    const TitleRun run = RunTitle(rig, true);
    // Line 0 (17 characters) is complete from the frame with counter 17 for 71 frames.
    std::vector<int32_t> expected;
    for (auto [level, count] : std::vector<std::pair<int, int>>{
             {0, 3}, {1, 6}, {2, 6}, {3, 8}, {2, 6}, {1, 6}, {0, 36}}) {
        expected.insert(expected.end(), static_cast<size_t>(count), level);
    }
    const std::vector<int32_t> hold(run.firstCellLevels.begin() + 17,
                                    run.firstCellLevels.begin() + 17 + 71);
    EXPECT_EQ(hold, expected);
}

TEST(TitleSequence, TrailBrightensTheNewestCharactersAndCursorFollows) {
    ShowRig rig;
    CreateShowGrid(rig.show, 40, 20);
    CodeGrid& grid = *rig.show.grid;
    // On its first frame nothing is typed and the cursor ends the blank line.
    StepTitle(grid, rig.show.typedCount, true, rig.show.title, rig.show.settings, rig.sound);
    EXPECT_EQ(grid.cursorColumn, 39);
    EXPECT_EQ(grid.cursorRow, 10);
    for (int i = 1; i < 17; ++i) {
        StepTitle(grid, rig.show.typedCount, true, rig.show.title, rig.show.settings, rig.sound);
    }
    // The 17th frame: 16 of "Orvandel presents" typed, starting at column 11.
    EXPECT_EQ(grid.cursorColumn, 11 + 16);
    const auto level = [&](int32_t distance) { return grid.CellAt(11 + 16 - distance, 10) & 3; };
    EXPECT_EQ(level(0), 3);
    EXPECT_EQ(level(3), 3);
    EXPECT_EQ(level(4), 2);
    EXPECT_EQ(level(7), 2);
    EXPECT_EQ(level(8), 1);
    EXPECT_EQ(level(11), 1);
    EXPECT_EQ(level(12), 0);
    EXPECT_EQ(level(16), 0);  // the first character is never part of the trail
}

TEST(TitleSequence, SoundOffAndFullModeRequestNothing) {
    ShowRig rig;
    rig.show.settings.soundEnabled = false;
    CreateShowGrid(rig.show, 40, 20);
    RunTitle(rig, true);
    EXPECT_TRUE(rig.log.events.empty());
    EXPECT_FALSE(rig.show.title.titleMusicStarted);

    rig.show.settings.soundEnabled = true;
    CodeGrid& grid = *rig.show.grid;
    StepTitle(grid, rig.show.typedCount, false, rig.show.title, rig.show.settings, rig.sound);
    EXPECT_TRUE(rig.log.events.empty());
    EXPECT_EQ(grid.redrawRegion.left, 0);
    EXPECT_EQ(grid.redrawRegion.top, 0);
    EXPECT_EQ(grid.redrawRegion.right, 40);
    EXPECT_EQ(grid.redrawRegion.bottom, 20);
}

TEST(TitleSequence, CentringRoundsDownAndLeavesTooWideTextsOffTheGrid) {
    EXPECT_EQ(CenteredColumn(40, 25), 7);
    EXPECT_EQ(CenteredColumn(40, 39), 0);
    EXPECT_LT(CenteredColumn(20, 39) + 39, 0);

    // On a narrow or tiny grid the run keeps its length and stays inside the grid.
    for (auto [cols, rows] : std::vector<std::pair<int32_t, int32_t>>{{20, 3}, {1, 1}, {0, 0}}) {
        ShowRig rig;
        CreateShowGrid(rig.show, cols, rows);
        EXPECT_EQ(RunTitle(rig, true).frames, TitleTotalLength() + 491) << cols << "x" << rows;
    }
}

}  // namespace
}  // namespace korvane
