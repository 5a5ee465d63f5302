// How the factor of the cells is chosen: from a monitor's DPI, or fixed by the user's glyph size,
// and the grid a screen gets at that factor.
#include "show/cell_scale_choice.h"

#include <gtest/gtest.h>

#include <climits>

#include "grid/cell_geometry.h"

namespace korvane {
namespace {

TEST(CellScale, DpiRoundsToTheNearestMultipleOf96WithinOneToFour) {
    const struct {
        int32_t dpi;
        int32_t scale;
    } cases[] = {
        {96, 1},  {120, 1}, {143, 1}, {144, 2}, {192, 2},     {239, 2},     {240, 3},
        {288, 3}, {336, 4}, {384, 4}, {480, 4}, {INT_MAX, 4}, {72, 1},      {48, 1},
        {47, 1},  {0, 1},   {-1, 1},  {-96, 1}, {-200, 1},    {INT_MIN, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CellScaleForDpi(c.dpi), c.scale) << c.dpi << " DPI";
    }
    EXPECT_EQ(ClampCellScale(0), 1);
    EXPECT_EQ(ClampCellScale(3), 3);
    EXPECT_EQ(ClampCellScale(5), 4);
}

TEST(CellScale, AFixedGlyphSizeOverridesTheDpiAndAutomaticFollowsIt) {
    for (int32_t fixed = 1; fixed <= 4; ++fixed) {
        EXPECT_EQ(ChooseCellScale(fixed, 96), fixed);
        EXPECT_EQ(ChooseCellScale(fixed, 288), fixed);
    }
    EXPECT_EQ(ChooseCellScale(kAutomaticGlyphScale, 96), 1);
    EXPECT_EQ(ChooseCellScale(kAutomaticGlyphScale, 288), 3);
    EXPECT_EQ(ChooseCellScale(5, 144), 2);  // no known size: the settings never load one
}

// What the cells leave at the right and the bottom stays black; a factor out of range is
// taken into it rather than divided by.
TEST(CellScale, TheGridHoldsTheWholeCellsOfTheEnlargedSize) {
    EXPECT_EQ(GridSizeForScreen(3840, 2160, 2).cols, 120);
    EXPECT_EQ(GridSizeForScreen(3840, 2160, 2).rows, 45);
    EXPECT_EQ(GridSizeForScreen(1024, 768, 3).cols, 21);
    EXPECT_EQ(GridSizeForScreen(1024, 768, 3).rows, 10);
    EXPECT_EQ(GridSizeForScreen(1024, 768, 0).cols, 64);
    EXPECT_EQ(GridSizeForScreen(1024, 768, 9).rows, 8);
}

}  // namespace
}  // namespace korvane
