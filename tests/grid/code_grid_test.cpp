#include <gtest/gtest.h>

#include <string>

#include "grid/code_grid.h"
#include "grid/glyph_charset.h"

namespace korvane {
namespace {

TEST(ShowRandomTest, DrawsTheFixedSequenceFromSeedOne) {
    ShowRandom random;
    const int32_t expectedFirst[] = {41, 18467, 6334, 26500, 19169};
    for (int32_t value : expectedFirst) {
        EXPECT_EQ(random.Next(), value);
    }
    for (int i = 5; i < 23; ++i) {
        random.Next();
    }
    const int32_t expected24to28[] = {153, 292, 12382, 17421, 18716};
    for (int32_t value : expected24to28) {
        EXPECT_EQ(random.Next(), value);
    }
}

TEST(ShowRandomTest, StaysWithinFifteenBits) {
    ShowRandom random;
    for (int i = 0; i < 100000; ++i) {
        const int32_t value = random.Next();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

class GridTest : public ::testing::Test {
  protected:
    ShowRandom random;
};

TEST_F(GridTest, GlyphCodeMapsTextAndCodeModes) {
    CodeGrid grid(4, 4, random);
    EXPECT_EQ(grid.GlyphCode(' '), 100);
    EXPECT_EQ(grid.GlyphCode('A'), 104);
    EXPECT_EQ(grid.GlyphCode('Z'), 204);
    EXPECT_EQ(grid.GlyphCode('&'), (25 + 90) * 4);
    EXPECT_EQ(grid.GlyphCode('\xA7'), (25 + 76) * 4);
    EXPECT_EQ(grid.GlyphCode('\x01'), 464);
    EXPECT_EQ(grid.GlyphCode('\0'), 464);
    EXPECT_EQ(grid.GlyphCode('"'), 464);

    EXPECT_FALSE(grid.SetCodeMode(true));
    EXPECT_EQ(grid.GlyphCode(' '), 100);
    for (char c = 'A'; c <= 'X'; ++c) {
        EXPECT_EQ(grid.GlyphCode(c), (c - 'A' + 1) * 4) << c;
    }
    EXPECT_EQ(grid.GlyphCode('Y'), 100);
    EXPECT_EQ(grid.GlyphCode('Z'), 4);
    EXPECT_EQ(grid.GlyphCode('\x01'), 64);
    EXPECT_TRUE(grid.SetCodeMode(false));
}

TEST_F(GridTest, ConstructionStartsBlankWithWholeRegion) {
    CodeGrid grid(5, 3, random);
    EXPECT_EQ(grid.cols, 5);
    EXPECT_EQ(grid.rows, 3);
    EXPECT_FALSE(grid.codeMode);
    EXPECT_EQ(grid.cursorColumn, 0);
    EXPECT_EQ(grid.cursorRow, 0);
    for (int32_t cell : grid.cells) {
        EXPECT_EQ(cell, kBlankCellCode);
    }
    EXPECT_EQ(grid.redrawRegion.left, 0);
    EXPECT_EQ(grid.redrawRegion.top, 0);
    EXPECT_EQ(grid.redrawRegion.right, 5);
    EXPECT_EQ(grid.redrawRegion.bottom, 3);
    EXPECT_EQ(grid.blankRow, "     ");
    ASSERT_EQ(grid.streams.size(), 5u);
    for (const RainColumn& stream : grid.streams) {
        EXPECT_EQ(stream.length, 3);
        EXPECT_EQ(stream.text.size(), 6u);
    }
}

TEST_F(GridTest, ConstructionDrawsPerColumnDefaultThenRemake) {
    CodeGrid grid(3, 4, random);
    ShowRandom replay;
    for (int i = 0; i < 3 * 23 + 3 * (3 + 4); ++i) {
        replay.Next();
    }
    EXPECT_EQ(random.seed(), replay.seed());
}

TEST_F(GridTest, WriteRowStoresCutsAndMovesCursor) {
    CodeGrid grid(6, 3, random);
    grid.WriteRow(1, 1, "AB", 2);
    EXPECT_EQ(grid.CellAt(1, 1), 106);
    EXPECT_EQ(grid.CellAt(2, 1), 110);
    EXPECT_EQ(grid.cursorColumn, 3);
    EXPECT_EQ(grid.cursorRow, 1);

    grid.WriteRow(0, 0, "", 0);
    EXPECT_EQ(grid.cursorColumn, 0);
    EXPECT_EQ(grid.cursorRow, 0);

    grid.WriteRow(3, 2, "ABCDEFGH", 0);
    EXPECT_EQ(grid.CellAt(5, 2), 112);
    EXPECT_EQ(grid.cursorColumn, 6);
    EXPECT_EQ(grid.cursorRow, 2);
    EXPECT_EQ(grid.CellAt(0, 2), kBlankCellCode) << "text must not wrap";
}

TEST_F(GridTest, WritesOutsideTheGridChangeNothing) {
    CodeGrid grid(4, 3, random);
    grid.WriteRow(1, 1, "A", 0);
    const std::vector<int32_t> before = grid.cells;
    grid.WriteRow(4, 0, "A", 0);
    grid.WriteRow(-1, 0, "A", 0);
    grid.WriteRow(0, 3, "A", 0);
    grid.WriteColumn(0, -1, "A", 0);
    grid.WritePartial(5, 5, "A", 1, 0);
    grid.SetLevel(4, 0, 3);
    grid.AdvanceGlyph(0, 3, 5);
    EXPECT_EQ(grid.cells, before);
    EXPECT_EQ(grid.cursorColumn, 2);
    EXPECT_EQ(grid.cursorRow, 1);
}

TEST_F(GridTest, WritePartialHonoursCount) {
    CodeGrid grid(10, 2, random);
    grid.WriteRow(0, 1, "Z", 0);
    grid.WritePartial(2, 0, "ABCDE", 0, 0);
    EXPECT_EQ(grid.CellAt(2, 0), kBlankCellCode);
    EXPECT_EQ(grid.cursorColumn, 1);
    EXPECT_EQ(grid.cursorRow, 1);

    grid.WritePartial(2, 0, "ABCDE", 3, 1);
    EXPECT_EQ(grid.CellAt(2, 0), 105);
    EXPECT_EQ(grid.CellAt(4, 0), 113);
    EXPECT_EQ(grid.CellAt(5, 0), kBlankCellCode);
    EXPECT_EQ(grid.cursorColumn, 5);
    EXPECT_EQ(grid.cursorRow, 0);
}

TEST_F(GridTest, WriteColumnFillsDownAndCutsAtBottom) {
    CodeGrid grid(3, 4, random);
    grid.WriteColumn(1, 0, "ABCDEFG", 0);
    EXPECT_EQ(grid.CellAt(1, 0), 104);
    EXPECT_EQ(grid.CellAt(1, 3), 116);
    EXPECT_EQ(grid.cursorColumn, 1);
    EXPECT_EQ(grid.cursorRow, 4);
    grid.WriteColumn(2, 2, "", 0);
    EXPECT_EQ(grid.cursorColumn, 2);
    EXPECT_EQ(grid.cursorRow, 2);
}

TEST_F(GridTest, FillWritesBlankInCodeMode) {
    CodeGrid grid(3, 3, random);
    grid.WriteRow(0, 0, "ABC", 3);
    grid.SetCodeMode(true);
    grid.Fill();
    for (int32_t cell : grid.cells) {
        EXPECT_EQ(cell, 100);
    }
}

TEST_F(GridTest, ShiftRowsUpMovesLowerRowsAndKeepsLast) {
    CodeGrid small(2, 6, random);
    for (int32_t r = 0; r < 6; ++r) {
        small.WriteRow(0, r, std::string(2, static_cast<char>('A' + r)).c_str(), 0);
    }
    const std::vector<int32_t> before = small.cells;
    small.ShiftRowsUp(5);
    EXPECT_EQ(small.cells, before);
    small.ShiftRowsUp(-1);
    EXPECT_EQ(small.cells, before);

    CodeGrid grid(2, 8, random);
    for (int32_t r = 0; r < 8; ++r) {
        grid.WriteRow(0, r, std::string(2, static_cast<char>('A' + r)).c_str(), 0);
    }
    grid.ShiftRowsUp(5);
    EXPECT_EQ(grid.CellAt(1, 4), grid.GlyphCode('E'));
    EXPECT_EQ(grid.CellAt(0, 5), grid.GlyphCode('G'));
    EXPECT_EQ(grid.CellAt(1, 6), grid.GlyphCode('H'));
    EXPECT_EQ(grid.CellAt(0, 7), grid.GlyphCode('H'));
}

TEST_F(GridTest, SetLevelAndAdvanceGlyphWorkOnWholeCode) {
    CodeGrid grid(2, 1, random);
    grid.SetLevel(0, 0, 3);
    EXPECT_EQ(grid.CellAt(0, 0), 103);
    grid.AdvanceGlyph(0, 0, 0);
    EXPECT_EQ(grid.CellAt(0, 0), 3);
    grid.cells[1] = 0x10000 + 105;
    grid.SetLevel(1, 0, 2);
    EXPECT_EQ(grid.CellAt(1, 0), 106);
    grid.AdvanceGlyph(1, 0, 24);
    EXPECT_EQ(grid.CellAt(1, 0), (106 + 24) % 25);
}

TEST_F(GridTest, DegenerateSizesMakeAnEmptyGrid) {
    CodeGrid grid(-3, 0, random);
    EXPECT_EQ(grid.cols, 0);
    EXPECT_EQ(grid.rows, 0);
    EXPECT_TRUE(grid.cells.empty());
    grid.WriteRow(0, 0, "A", 0);
    int32_t count = 0;
    EXPECT_FALSE(grid.StepCodeRain(true, count, random));
    EXPECT_EQ(count, 1);
}

}  // namespace
}  // namespace korvane
