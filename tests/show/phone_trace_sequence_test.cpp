#include <gtest/gtest.h>

#include "grid/glyph_charset.h"
#include "show_test_support.h"

namespace korvane {
namespace {

using testing::EventNames;
using testing::RowText;
using testing::ShowRig;

constexpr char kFoundAlphabet[] = "Found:X 0123456789";

bool Step(ShowRig& rig) {
    return StepPhoneTrace(*rig.show.grid, rig.show.typedCount, rig.show.phone, rig.show.settings,
                          rig.sound, rig.show.random);
}

// Steps until the last digit is located; answers the number of calls made.
int32_t StepUntilLocated(ShowRig& rig, int32_t length) {
    int32_t calls = 0;
    while (rig.show.phone.traceLocatedCount < length && calls < 100000) {
        EXPECT_FALSE(Step(rig));
        ++calls;
    }
    return calls;
}

TEST(PhoneTrace, HeaderTypingThenSearchFromThe68thFrame) {
    ShowRig rig;
    CreateShowGrid(rig.show, 40, 20);
    Step(rig);
    EXPECT_EQ(EventNames(rig.log), (std::vector<std::string>{"stop", "play 133 loop"}));
    EXPECT_EQ(rig.show.grid->CellAt(0, 0), kBlankCellCode);  // nothing typed yet
    rig.log.Clear();
    for (int frame = 2; frame <= 67; ++frame) {
        Step(rig);
    }
    EXPECT_TRUE(rig.log.events.empty());
    EXPECT_EQ(RowText(*rig.show.grid, 3, 0, 14, "> Searching."), "> Searching.. ");
    Step(rig);  // the 68th frame
    ASSERT_GE(rig.log.events.size(), 2u);
    EXPECT_EQ(EventNames(rig.log)[0], "stop");
    EXPECT_EQ(EventNames(rig.log)[1], "play 134 loop");
    const CodeGrid& grid = *rig.show.grid;
    EXPECT_EQ(RowText(grid, 3, 0, 14, "> Searching."), "> Searching...");
    // The prompt characters stay bright; the rest of the header is level 0.
    EXPECT_EQ(grid.CellAt(0, 1) & 3, 3);
    EXPECT_EQ(grid.CellAt(0, 3) & 3, 3);
    EXPECT_EQ(grid.CellAt(1, 3) & 3, 0);
    EXPECT_EQ(grid.redrawRegion.right, 34);
    EXPECT_EQ(grid.redrawRegion.bottom, 20);
}

TEST(PhoneTrace, SearchFrameDrawsFlickerChurnAndLocateInOrder) {
    for (auto [cols, rows] : std::vector<std::pair<int32_t, int32_t>>{{40, 20}, {20, 5}}) {
        ShowRig rig;
        CreateShowGrid(rig.show, cols, rows);
        for (int frame = 1; frame <= 67; ++frame) {
            Step(rig);
        }
        ShowRandom expected = rig.show.random;
        const int32_t unlocated = 10 - rig.show.phone.traceLocatedCount;
        for (int32_t i = 0; i < 3000 + unlocated + 1; ++i) {
            expected.Next();
        }
        Step(rig);
        // Even a grid without flicker rows keeps the show's sequence of numbers.
        EXPECT_EQ(rig.show.random.seed(), expected.seed()) << cols << "x" << rows;
    }
}

TEST(PhoneTrace, EmptyNumberHoldsSilentlyAndEndsOnThe22ndCall) {
    ShowRig rig;
    rig.SetPhoneNumber("");
    CreateShowGrid(rig.show, 40, 20);
    const std::vector<int32_t> before = rig.show.grid->cells;
    const uint32_t seed = rig.show.random.seed();
    for (int call = 1; call <= 21; ++call) {
        EXPECT_FALSE(Step(rig)) << call;
    }
    EXPECT_TRUE(Step(rig));
    EXPECT_TRUE(rig.log.events.empty());
    EXPECT_EQ(rig.show.grid->cells, before);
    EXPECT_EQ(rig.show.random.seed(), seed);
}

TEST(PhoneTrace, TenDigitsAreFoundThenHeldFor20FramesAndTheRunResets) {
    ShowRig rig;
    CreateShowGrid(rig.show, 40, 20);
    StepUntilLocated(rig, 10);
    CodeGrid& grid = *rig.show.grid;
    EXPECT_EQ(RowText(grid, 4, 0, 32, kFoundAlphabet), "Found:  3 5 2   5 5 5   0 6 9 0 ");
    EXPECT_EQ(grid.cursorColumn, 32);
    EXPECT_EQ(grid.cursorRow, 4);
    // A located digit's column runs down to the bottom.
    for (int32_t row = 5; row < 20; ++row) {
        EXPECT_EQ(RowText(grid, row, 32 - 2, 1, kFoundAlphabet), "0") << row;
    }
    const std::vector<int32_t> held = grid.cells;
    const uint32_t seed = rig.show.random.seed();
    rig.log.Clear();
    for (int frame = 1; frame <= 20; ++frame) {
        EXPECT_FALSE(Step(rig)) << frame;
    }
    EXPECT_EQ(grid.cells, held);
    EXPECT_EQ(rig.show.random.seed(), seed);
    EXPECT_TRUE(rig.log.events.empty());
    EXPECT_TRUE(Step(rig));
    EXPECT_EQ(rig.show.phone.traceLocatedCount, 0);
    EXPECT_EQ(rig.show.phone.traceHold, 0);
    EXPECT_FALSE(rig.show.phone.traceTypingSoundStarted);
    EXPECT_FALSE(rig.show.phone.traceSearchSoundStarted);
    EXPECT_EQ(rig.show.typedCount, 0);
    for (const int32_t cell : grid.cells) {
        ASSERT_EQ(cell, kBlankCellCode);
    }
    // The next run starts with the typing loop again.
    Step(rig);
    EXPECT_EQ(EventNames(rig.log), (std::vector<std::string>{"stop", "play 133 loop"}));
}

TEST(PhoneTrace, ShortNumbersEndTheirLinesAtTheNextSlot) {
    ShowRig rig;
    rig.SetPhoneNumber("55A1234");
    CreateShowGrid(rig.show, 40, 20);
    for (int frame = 1; frame <= 68; ++frame) {
        Step(rig);
    }
    const CodeGrid& grid = *rig.show.grid;
    EXPECT_EQ(RowText(grid, 19, 0, 8, " Num:.0123456789"), " Num:.. ");
    // Nothing past the seventh slot (the flicker may still change levels there).
    EXPECT_EQ(grid.CellAt(26, 19) >> 2, kBlankCellCode >> 2);
    EXPECT_NE(grid.CellAt(24, 19) >> 2, kBlankCellCode >> 2);
    StepUntilLocated(rig, 7);
    // Non-digits are shown as they are.
    EXPECT_EQ(RowText(grid, 4, 0, 26, "Found:A 0123456789"), "Found:  5 5 A   1 2 3   4 ");
}

TEST(PhoneTrace, OnlyTheFirstTenCharactersOfALongerNumberAreTraced) {
    ShowRig rig;
    rig.SetPhoneNumber("12345678901");
    EXPECT_EQ(TraceNumberLength(rig.show.settings.phoneNumber.data(),
                                rig.show.settings.phoneNumber.size()),
              10);
    CreateShowGrid(rig.show, 40, 20);
    StepUntilLocated(rig, 10);
    EXPECT_EQ(rig.show.phone.traceLocatedCount, 10);
    EXPECT_EQ(RowText(*rig.show.grid, 4, 0, 34, kFoundAlphabet),
              "Found:  1 2 3   4 5 6   7 8 9 0   ");
    // An unterminated record is read no further than its capacity.
    const char unterminated[4] = {'1', '2', '3', '4'};
    EXPECT_EQ(TraceNumberLength(unterminated, sizeof unterminated), 4);
}

TEST(PhoneTrace, SoundOffStillStopsButNeverPlays) {
    ShowRig rig;
    rig.show.settings.soundEnabled = false;
    CreateShowGrid(rig.show, 40, 20);
    StepUntilLocated(rig, 10);
    int stops = 0;
    for (const ShowEvent& event : rig.log.events) {
        EXPECT_EQ(event.kind, ShowEvent::Kind::kStop);
        ++stops;
    }
    // One stop for typing, then per digit a search stop and a located stop.
    EXPECT_EQ(stops, 1 + 10 * 2);
}

TEST(PhoneTrace, GridsTooSmallForTheTraceStayInBoundsAndStillEnd) {
    // Narrower than 34 columns or under 6 rows: writes are cut at the edges, the flicker
    // has no rows to touch, and the run still ends.
    for (auto [cols, rows] : std::vector<std::pair<int32_t, int32_t>>{
             {33, 20}, {20, 5}, {40, 4}, {10, 1}, {1, 1}, {0, 0}}) {
        ShowRig rig;
        CreateShowGrid(rig.show, cols, rows);
        bool ended = false;
        for (int32_t call = 0; call < 20000 && !ended; ++call) {
            ended = Step(rig);
        }
        EXPECT_TRUE(ended) << cols << "x" << rows;
        EXPECT_EQ(rig.show.phone.traceLocatedCount, 0);
    }
}

}  // namespace
}  // namespace korvane
