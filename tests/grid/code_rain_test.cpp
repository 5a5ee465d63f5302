#include <gtest/gtest.h>

#include "grid/code_grid.h"

namespace korvane {
namespace {

TEST(CodeRainTest, WorkedExampleOnOneByTwoGrid) {
    ShowRandom random;
    CodeGrid grid(1, 2, random);
    const RainColumn& stream = grid.streams[0];
    EXPECT_EQ(stream.offset, 2);
    EXPECT_EQ(stream.delay, 0);
    EXPECT_EQ(stream.countdown, 0);
    EXPECT_EQ(stream.state, 2);
    EXPECT_EQ(stream.text, "  VU");

    int32_t count = 0;
    EXPECT_FALSE(grid.StepCodeRain(true, count, random));
    EXPECT_EQ(grid.CellAt(0, 0), 88);
    EXPECT_EQ(grid.CellAt(0, 1), 4);

    EXPECT_FALSE(grid.StepCodeRain(true, count, random));
    EXPECT_EQ(grid.CellAt(0, 0), 22);
    EXPECT_EQ(grid.CellAt(0, 1), 88);

    const uint32_t seedBefore = random.seed();
    EXPECT_FALSE(grid.StepCodeRain(true, count, random));
    EXPECT_EQ(grid.CellAt(0, 0), 100);
    EXPECT_EQ(grid.CellAt(0, 1), 100);
    EXPECT_EQ(stream.offset, -1);
    ShowRandom replay;
    for (int i = 0; i < 30; ++i) {
        replay.Next();
    }
    EXPECT_EQ(seedBefore, replay.seed()) << "draws 29 and 30 were the only ones";
    replay.Next();
    EXPECT_EQ(random.seed(), replay.seed()) << "draw 31 made without effect";
    EXPECT_EQ(count, 3);
}

// A stream that the test sets up by hand, in a grid of the given height.
struct HandStream {
    explicit HandStream(int32_t rows) : grid(1, rows, random) {}
    RainColumn& stream() { return grid.streams[0]; }
    void Set(int32_t offset, int32_t delay, int32_t state) {
        stream().offset = offset;
        stream().delay = delay;
        stream().countdown = delay;
        stream().state = state;
    }
    ShowRandom random;
    CodeGrid grid;
    int32_t count = 0;
};

TEST(CodeRainTest, DelayGivesStepsEveryDelayPlusOneFrames) {
    for (int32_t delay : {0, 3}) {
        HandStream h(10);
        h.Set(15, delay, 3);
        int32_t steps = 0;
        int32_t lastOffset = 15;
        for (int frame = 0; frame < 12; ++frame) {
            h.grid.StepCodeRain(false, h.count, h.random);
            if (h.stream().offset != lastOffset) {
                ++steps;
                EXPECT_EQ(h.stream().offset, lastOffset - 1);
                EXPECT_EQ((frame + 1) % (delay + 1), 0) << "delay " << delay;
                lastOffset = h.stream().offset;
            }
        }
        EXPECT_EQ(steps, 12 / (delay + 1));
    }
}

TEST(CodeRainTest, RenewalHappensAfterOffsetMinusOneAndStartsEmpty) {
    HandStream h(4);
    h.Set(0, 1, 3);
    h.grid.StepCodeRain(false, h.count, h.random);  // countdown 1 -> 0
    h.grid.StepCodeRain(false, h.count, h.random);  // steps to -1
    EXPECT_EQ(h.stream().offset, -1);
    h.grid.WriteColumn(0, 0, "ABCD", 0);
    h.grid.StepCodeRain(false, h.count, h.random);  // counts down at -1
    EXPECT_EQ(h.stream().offset, -1);
    for (int32_t r = 0; r < 4; ++r) {
        EXPECT_EQ(h.grid.CellAt(0, r), 100) << "offset -1 shows what offset 0 showed";
    }
    EXPECT_EQ(h.grid.cursorRow, 4);
    h.grid.StepCodeRain(false, h.count, h.random);  // renews
    EXPECT_EQ(h.stream().offset, 8);
    EXPECT_EQ(h.stream().countdown, h.stream().delay);
    EXPECT_EQ(h.stream().text.substr(0, 4), "    ");
    for (size_t i = 4; i < 8; ++i) {
        EXPECT_GE(h.stream().text[i], 'A');
        EXPECT_LE(h.stream().text[i], 'X');
    }
}

TEST(CodeRainTest, EmptyViewAfterRenewalWritesNothingAndMarksRowZero) {
    for (int32_t state : {0, 1, 2}) {
        HandStream h(5);
        h.Set(10, 3, state);
        h.grid.WriteColumn(0, 0, "ABCDE", 0);
        const std::vector<int32_t> before = h.grid.cells;
        h.grid.StepCodeRain(false, h.count, h.random);
        EXPECT_EQ(h.stream().offset, 10);
        if (state == 0) {
            EXPECT_EQ(h.grid.cells, before);
        } else {
            for (int32_t r = 1; r < 5; ++r) {
                EXPECT_EQ(h.grid.CellAt(0, r), before[static_cast<size_t>(r)]);
            }
            EXPECT_LT(h.grid.CellAt(0, 0), 25) << "row 0 holds a code symbol 0..6";
        }
        EXPECT_EQ(h.grid.cursorRow, 0);
    }
}

TEST(CodeRainTest, HeadAtRowsMarksLastRowOnlyInStateZero) {
    for (int32_t state : {0, 1, 2}) {
        HandStream h(4);
        h.Set(4, 3, state);
        const uint32_t seedBefore = h.random.seed();
        h.grid.StepCodeRain(false, h.count, h.random);
        EXPECT_EQ(h.stream().offset, 4);
        const int32_t last = h.grid.CellAt(0, 3);
        if (state == 0) {
            EXPECT_EQ(last & 3, 3);
            EXPECT_EQ(h.random.seed(), seedBefore);
        } else {
            EXPECT_EQ(last & 3, 0);
            EXPECT_NE(h.random.seed(), seedBefore) << "the draw is made all the same";
        }
    }
}

TEST(CodeRainTest, HeadFoldsBackFromTheBottom) {
    const int32_t rows = 8;
    for (int32_t offset : {2 * rows - 3, 5}) {
        HandStream h(rows);
        h.Set(offset, 3, 0);
        h.grid.StepCodeRain(false, h.count, h.random);
        const int32_t head = offset > rows ? 2 * rows - offset : offset;
        for (int32_t r = 0; r < rows; ++r) {
            EXPECT_EQ(h.grid.CellAt(0, r) & 3, r == head - 1 ? 3 : 0) << offset << " row " << r;
        }
    }
}

TEST(CodeRainTest, FirstFrameShowsLettersOrBlanksByStartOffset) {
    ShowRandom random;
    CodeGrid grid(40, 6, random);
    int32_t count = 0;
    std::vector<int32_t> startOffsets;
    for (const RainColumn& s : grid.streams) {
        startOffsets.push_back(s.offset);
    }
    grid.StepCodeRain(true, count, random);
    bool sawLetters = false;
    bool sawBlank = false;
    for (int32_t c = 0; c < 40; ++c) {
        int32_t blanks = 0;
        for (int32_t r = 0; r < 6; ++r) {
            blanks += grid.CellAt(c, r) == 100 ? 1 : 0;
        }
        if (startOffsets[static_cast<size_t>(c)] == 6) {
            sawLetters = true;
            EXPECT_EQ(blanks, 0) << "column " << c;
        } else {
            sawBlank = true;
            EXPECT_GE(blanks, 5) << "column " << c;
        }
    }
    EXPECT_TRUE(sawLetters);
    EXPECT_TRUE(sawBlank);
}

TEST(CodeRainTest, LimitedRunEndsOnFrame2501AndUnlimitedResets) {
    ShowRandom random;
    CodeGrid grid(3, 3, random);
    int32_t count = 0;
    for (int i = 0; i < 2500; ++i) {
        ASSERT_FALSE(grid.StepCodeRain(true, count, random)) << i;
        ASSERT_TRUE(grid.codeMode);
        ASSERT_EQ(grid.redrawRegion.right, 3);
        ASSERT_EQ(grid.redrawRegion.bottom, 3);
    }
    EXPECT_TRUE(grid.StepCodeRain(true, count, random));
    EXPECT_EQ(grid.cursorColumn, 0);
    EXPECT_EQ(grid.cursorRow, 0);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(grid.StepCodeRain(true, count, random));
    EXPECT_EQ(count, 1);

    for (int i = 0; i < 3000; ++i) {
        ASSERT_FALSE(grid.StepCodeRain(false, count, random));
    }
    EXPECT_EQ(count, 0);
    grid.SetCodeMode(false);
    grid.redrawRegion = {1, 1, 1, 1};
    grid.StepCodeRain(false, count, random);
    EXPECT_TRUE(grid.codeMode);
    EXPECT_EQ(grid.redrawRegion.left, 0);
    EXPECT_EQ(grid.redrawRegion.top, 0);
}

TEST(CodeRainTest, CursorEndsUnderLastColumnsView) {
    ShowRandom random;
    CodeGrid grid(4, 5, random);
    int32_t count = 0;
    grid.StepCodeRain(true, count, random);
    EXPECT_EQ(grid.cursorColumn, 3);
    EXPECT_EQ(grid.cursorRow, 5) << "a first view at offset 0 or rows reaches the bottom";
}

}  // namespace
}  // namespace korvane
