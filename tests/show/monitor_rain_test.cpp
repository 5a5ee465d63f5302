// The falling code of the monitors beside the show's own: their own generators, their own
// grids, and no end.
#include "show/monitor_rain.h"

#include <gtest/gtest.h>

#include <vector>

#include "show/show.h"
#include "tests/show/show_test_support.h"

namespace korvane {
namespace {

// Counts the cells copied onto it and remembers the farthest corner reached.
class CountingSurface final : public Surface {
  public:
    DisplayResult BltFast(int32_t x, int32_t y, Surface&, const PixelRect& rect,
                          uint32_t flags) override {
        ++copies;
        right = std::max(right, x + rect.right - rect.left);
        bottom = std::max(bottom, y + rect.bottom - rect.top);
        lastFlags = flags;
        return kDisplayOk;
    }
    int copies = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    uint32_t lastFlags = 99;
};

// The rain of a grid built from `random`, stepped `frames` times, as the show runs it.
std::vector<int32_t> ReferenceRain(int32_t cols, int32_t rows, ShowRandom random, int frames) {
    CodeGrid grid(cols, rows, random);
    int32_t count = 0;
    for (int i = 0; i < frames; ++i) {
        grid.StepCodeRain(true, count, random);
    }
    return grid.cells;
}

TEST(MonitorRainTest, MonitorNumberNRunsTheShowsGeneratorFromSeedNPlusOne) {
    for (int32_t number : {1, 2, 5}) {
        SCOPED_TRACE(number);
        MonitorRain rain(40, 20, number);
        for (int i = 0; i < 50; ++i) {
            rain.Frame();
        }
        EXPECT_EQ(rain.grid.cells,
                  ReferenceRain(40, 20, ShowRandom(static_cast<uint32_t>(number) + 1), 50));
    }
    // Number 0 would be the show's own monitor: its rain is the show's generator's.
    MonitorRain zero(40, 20, 0);
    for (int i = 0; i < 50; ++i) {
        zero.Frame();
    }
    EXPECT_EQ(zero.grid.cells, ReferenceRain(40, 20, ShowRandom(), 50));
}

TEST(MonitorRainTest, MonitorsDifferFromEachOtherAndLeaveTheShowAlone) {
    testing::ShowRig rig;
    CreateShowGrid(rig.show, 40, 20);
    const uint32_t showSeed = rig.show.random.seed();
    const std::vector<int32_t> showCells = rig.show.grid->cells;

    MonitorRain first(40, 20, 1);
    MonitorRain second(40, 20, 2);
    for (int i = 0; i < 30; ++i) {
        first.Frame();
        second.Frame();
    }
    EXPECT_NE(first.grid.cells, second.grid.cells);
    EXPECT_EQ(rig.show.random.seed(), showSeed);
    EXPECT_EQ(rig.show.grid->cells, showCells);
}

TEST(MonitorRainTest, EveryFrameDrawsTheWholeGridOpaquelyAndTheRainNeverEnds) {
    CountingSurface page;
    CountingSurface sheet;
    MonitorRain rain(12, 7, 1);
    rain.glyphStrip.sourceSurface = &sheet;
    rain.glyphStrip.targetSurface = &page;
    rain.glyphStrip.SetBltFlags(kBltNoColorKey);

    rain.Frame();
    EXPECT_EQ(page.copies, 12 * 7);
    EXPECT_EQ(page.right, 12 * 16);
    EXPECT_EQ(page.bottom, 7 * 24);
    EXPECT_EQ(page.lastFlags, kBltNoColorKey);

    // Past the end of a limited run the rain starts again instead of stopping.
    const int frames = CodeGrid::kRainFramesPerRun * 2 + 10;
    int changedAfterFirstRun = 0;
    std::vector<int32_t> before = rain.grid.cells;
    for (int i = 1; i < frames; ++i) {
        rain.Frame();
        if (i > CodeGrid::kRainFramesPerRun + 1 && rain.grid.cells != before) {
            ++changedAfterFirstRun;
        }
        before = rain.grid.cells;
        ASSERT_LE(rain.rainFrameCount, CodeGrid::kRainFramesPerRun);
    }
    EXPECT_EQ(page.copies, frames * 12 * 7);
    EXPECT_GT(changedAfterFirstRun, CodeGrid::kRainFramesPerRun / 2);
    EXPECT_TRUE(rain.grid.codeMode);
}

}  // namespace
}  // namespace korvane
