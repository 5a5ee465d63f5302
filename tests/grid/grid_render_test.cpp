#include <gtest/gtest.h>

#include <vector>

#include "grid/code_grid.h"
#include "sprites/sprite_strip.h"

namespace korvane {
namespace {

struct Copy {
    int32_t x, y;
    PixelRect rect;
    uint32_t flags;
};

class RecordingSurface : public Surface {
  public:
    DisplayResult BltFast(int32_t x, int32_t y, Surface&, const PixelRect& rect,
                          uint32_t flags) override {
        copies.push_back({x, y, rect, flags});
        return kDisplayOk;
    }
    bool TakesBands() const override { return takesBands; }
    DisplayResult BltFastBand(int32_t y, Surface& source, std::span<const BandCopy> band,
                              uint32_t flags) override {
        bandSizes.push_back(band.size());
        return Surface::BltFastBand(y, source, band, flags);
    }
    bool takesBands = false;
    std::vector<Copy> copies;
    std::vector<size_t> bandSizes;
};

class RenderTest : public ::testing::Test {
  protected:
    RenderTest() {
        strip.sourceSurface = &sheet;
        strip.targetSurface = &back;
        strip.SetBltFlags(kBltNoColorKey);
    }
    ShowRandom random;
    RecordingSurface sheet;
    RecordingSurface back;
    SpriteStrip strip;
};

TEST_F(RenderTest, CellCodesSelectSheetRectangles) {
    CodeGrid grid(40, 20, random);
    grid.cells[0] = 100;
    grid.cells[1] = 467;
    grid.cells[2] = 3;
    grid.redrawRegion = {0, 0, 3, 1};
    grid.Render(strip);
    ASSERT_EQ(back.copies.size(), 3u);
    EXPECT_EQ(back.copies[0].rect.left, 400);
    EXPECT_EQ(back.copies[0].rect.top, 0);
    EXPECT_EQ(back.copies[0].rect.right, 416);
    EXPECT_EQ(back.copies[0].rect.bottom, 24);
    EXPECT_EQ(back.copies[1].rect.left, 576);
    EXPECT_EQ(back.copies[1].rect.top, 264);
    EXPECT_EQ(back.copies[2].rect.left, 0);
    EXPECT_EQ(back.copies[2].rect.top, 216);
    EXPECT_EQ(back.copies[2].x, 32);
    EXPECT_EQ(back.copies[2].flags, kBltNoColorKey);
}

TEST_F(RenderTest, RegionSelectsCellsInRowOrder) {
    CodeGrid grid(40, 20, random);
    grid.redrawRegion = {39, 19, 40, 20};
    grid.Render(strip);
    ASSERT_EQ(back.copies.size(), 1u);
    EXPECT_EQ(back.copies[0].x, 624);
    EXPECT_EQ(back.copies[0].y, 456);

    back.copies.clear();
    grid.redrawRegion = {0, 3, 40, 5};
    grid.Render(strip);
    ASSERT_EQ(back.copies.size(), 80u);
    EXPECT_EQ(back.copies.front().y, 72);
    EXPECT_EQ(back.copies[39].x, 624);
    EXPECT_EQ(back.copies[40].x, 0);
    EXPECT_EQ(back.copies.back().y, 96);

    back.copies.clear();
    grid.redrawRegion = {5, 5, 5, 9};
    grid.Render(strip);
    grid.redrawRegion = {0, 7, 40, 7};
    grid.Render(strip);
    EXPECT_TRUE(back.copies.empty());
}

TEST_F(RenderTest, RegionBeyondTheGridIsClamped) {
    CodeGrid grid(20, 4, random);
    grid.redrawRegion = {-2, 2, 34, 9};
    grid.Render(strip);
    ASSERT_EQ(back.copies.size(), 40u);
    for (const Copy& copy : back.copies) {
        EXPECT_LT(copy.x, 20 * 16);
        EXPECT_LT(copy.y, 4 * 24);
        EXPECT_GE(copy.x, 0);
    }
}

// A target that takes bands gets a row of cells at a time, as long rows in more than one band,
// and the same copies in the same order as one copy at a time.
TEST_F(RenderTest, RowsAreHandedOverAsBands) {
    CodeGrid grid(300, 4, random);
    for (size_t i = 0; i < grid.cells.size(); ++i) {
        grid.cells[i] = static_cast<int32_t>(i % 468);
    }
    grid.redrawRegion = {10, 1, 300, 3};
    grid.Render(strip);
    const std::vector<Copy> oneAtATime = back.copies;
    EXPECT_TRUE(back.bandSizes.empty());

    back.copies.clear();
    back.takesBands = true;
    grid.Render(strip);
    EXPECT_EQ(back.bandSizes, (std::vector<size_t>{256, 34, 256, 34}));
    ASSERT_EQ(back.copies.size(), oneAtATime.size());
    for (size_t i = 0; i < oneAtATime.size(); ++i) {
        EXPECT_EQ(back.copies[i].x, oneAtATime[i].x);
        EXPECT_EQ(back.copies[i].y, oneAtATime[i].y);
        EXPECT_EQ(back.copies[i].rect.left, oneAtATime[i].rect.left);
        EXPECT_EQ(back.copies[i].rect.top, oneAtATime[i].rect.top);
        EXPECT_EQ(back.copies[i].rect.bottom, oneAtATime[i].rect.bottom);
        EXPECT_EQ(back.copies[i].flags, kBltNoColorKey);
    }
}

}  // namespace
}  // namespace korvane
