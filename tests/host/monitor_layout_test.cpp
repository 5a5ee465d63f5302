// Which window covers which monitor, for the layouts people have: side by side, a monitor left
// of or above the primary (negative coordinates), portrait monitors and mixed sizes.
#include "host/monitor_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace korvane {
namespace {

constexpr ScreenRect kFallback{0, 0, 800, 600};

MonitorArea Primary(ScreenRect area) {
    return {area, true};
}
MonitorArea Other(ScreenRect area) {
    return {area, false};
}

TEST(MonitorPlan, OneMonitorIsThePrimaryAndNothingElseIsCovered) {
    const MonitorPlan plan = PlanMonitorCovers({Primary({0, 0, 1024, 768})}, kFallback);
    EXPECT_EQ(plan.primary.area, (ScreenRect{0, 0, 1024, 768}));
    EXPECT_EQ(plan.primary.number, 0);
    EXPECT_EQ(plan.primary.cols, 64);
    EXPECT_EQ(plan.primary.rows, 32);
    EXPECT_TRUE(plan.others.empty());
}

TEST(MonitorPlan, EachOtherMonitorGetsItsOwnRectangleGridAndNumber) {
    struct Layout {
        const char* name;
        std::vector<MonitorArea> monitors;
        std::vector<MonitorCover> expected;  // the others, in order
    };
    const std::vector<Layout> layouts = {
        {"side by side",
         {Primary({0, 0, 1024, 768}), Other({1024, 0, 2048, 768})},
         {{{1024, 0, 2048, 768}, 1, 64, 32}}},
        {"left of the primary, another size, portrait",
         {Primary({0, 0, 1024, 768}), Other({-768, 0, 0, 1024})},
         {{{-768, 0, 0, 1024}, 1, 48, 42}}},
        {"above the primary",
         {Other({0, -1080, 1920, 0}), Primary({0, 0, 1920, 1080})},
         {{{0, -1080, 1920, 0}, 1, 120, 45}}},
        {"three heads, one portrait at the right and one up-left; partial cells dropped",
         {Primary({0, 0, 1366, 768}), Other({1366, -200, 2446, 1720}), Other({-1280, -1024, 0, 0})},
         {{{1366, -200, 2446, 1720}, 1, 67, 80}, {{-1280, -1024, 0, 0}, 2, 80, 42}}},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        const MonitorPlan plan = PlanMonitorCovers(layout.monitors, kFallback);
        EXPECT_EQ(plan.primary.number, 0);
        ASSERT_EQ(plan.others.size(), layout.expected.size());
        for (size_t i = 0; i < layout.expected.size(); ++i) {
            const MonitorCover& got = plan.others[i];
            const MonitorCover& want = layout.expected[i];
            EXPECT_EQ(got.area, want.area) << "monitor " << i;
            EXPECT_EQ(got.number, want.number) << "monitor " << i;
            EXPECT_EQ(got.cols, want.cols) << "monitor " << i;
            EXPECT_EQ(got.rows, want.rows) << "monitor " << i;
            EXPECT_TRUE(got.HasGrid());
        }
    }
}

TEST(MonitorPlan, ThePrimaryIsTheMarkedMonitorWhereverItIsListed) {
    const MonitorPlan plan =
        PlanMonitorCovers({Other({-1920, 0, 0, 1080}), Primary({0, 0, 1280, 1024})}, kFallback);
    EXPECT_EQ(plan.primary.area, (ScreenRect{0, 0, 1280, 1024}));
    ASSERT_EQ(plan.others.size(), 1u);
    EXPECT_EQ(plan.others[0].area, (ScreenRect{-1920, 0, 0, 1080}));
    EXPECT_EQ(plan.others[0].number, 1);
}

TEST(MonitorPlan, WithoutAMarkTheMonitorAtTheOriginIsThePrimaryElseTheFirst) {
    const MonitorPlan atOrigin =
        PlanMonitorCovers({Other({-800, 0, 0, 600}), Other({0, 0, 1024, 768})}, kFallback);
    EXPECT_EQ(atOrigin.primary.area, (ScreenRect{0, 0, 1024, 768}));
    ASSERT_EQ(atOrigin.others.size(), 1u);

    const MonitorPlan first =
        PlanMonitorCovers({Other({100, 100, 900, 700}), Other({900, 100, 1700, 700})}, kFallback);
    EXPECT_EQ(first.primary.area, (ScreenRect{100, 100, 900, 700}));
    ASSERT_EQ(first.others.size(), 1u);
    EXPECT_EQ(first.others[0].area, (ScreenRect{900, 100, 1700, 700}));
}

TEST(MonitorPlan, EmptyAndMirroredMonitorsAreLeftOutAndTheNumbersStayDense) {
    const MonitorPlan plan = PlanMonitorCovers(
        {Primary({0, 0, 1024, 768}), Other({1024, 0, 1024, 768}), Other({0, 0, 1024, 768}),
         Other({1024, 0, 2048, 768}), Other({1024, 0, 2048, 768}), Other({2048, 0, 2058, 10})},
        kFallback);
    ASSERT_EQ(plan.others.size(), 2u);
    EXPECT_EQ(plan.others[0].area, (ScreenRect{1024, 0, 2048, 768}));
    EXPECT_EQ(plan.others[0].number, 1);
    // Smaller than one cell: still covered (black), with no grid to draw.
    EXPECT_EQ(plan.others[1].area, (ScreenRect{2048, 0, 2058, 10}));
    EXPECT_EQ(plan.others[1].number, 2);
    EXPECT_FALSE(plan.others[1].HasGrid());
}

TEST(MonitorPlan, CornersFarApartAreNotOverflowedAndEachSideIsHeld) {
    const MonitorPlan plan = PlanMonitorCovers(
        {Primary({0, 0, 1024, 768}), Other({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}),
         Other({INT32_MAX - 100, 0, INT32_MAX, 48})},
        kFallback);
    ASSERT_EQ(plan.others.size(), 2u);
    EXPECT_EQ(plan.others[0].area, (ScreenRect{INT32_MIN, INT32_MIN, INT32_MIN + kMaxSurfaceSide,
                                               INT32_MIN + kMaxSurfaceSide}));
    EXPECT_EQ(plan.others[0].cols, kMaxSurfaceSide / 16);
    EXPECT_EQ(plan.others[0].rows, kMaxSurfaceSide / 24);
    EXPECT_EQ(plan.others[1].area, (ScreenRect{INT32_MAX - 100, 0, INT32_MAX, 48}));
    EXPECT_EQ(plan.others[1].cols, 6);
    EXPECT_EQ(plan.others[1].rows, 2);
    // Turned inside out: no side at all.
    EXPECT_EQ((ScreenRect{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN}).Width(), 0);
    EXPECT_EQ((ScreenRect{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN}).Height(), 0);
}

TEST(MonitorPlan, NoListedMonitorFallsBackToTheScreen) {
    for (const std::vector<MonitorArea>& monitors :
         {std::vector<MonitorArea>{}, std::vector<MonitorArea>{Primary({0, 0, 0, 0})}}) {
        const MonitorPlan plan = PlanMonitorCovers(monitors, kFallback);
        EXPECT_EQ(plan.primary.area, kFallback);
        EXPECT_EQ(plan.primary.cols, 50);
        EXPECT_EQ(plan.primary.rows, 25);
        EXPECT_TRUE(plan.others.empty());
    }
}

TEST(MonitorPlan, EachMonitorsCellsGrowWithItsOwnDpiUnlessTheGlyphSizeIsFixed) {
    const std::vector<MonitorArea> monitors = {{{0, 0, 3840, 2160}, true, 192},
                                               {{3840, 0, 5760, 1080}, false, 96},
                                               {{-1024, 0, 0, 768}, false, 288}};
    const MonitorPlan automatic = PlanMonitorCovers(monitors, kFallback);
    EXPECT_EQ(automatic.primary.scale, 2);
    EXPECT_EQ(automatic.primary.cols, 120);  // the 1920 x 1080 grid, cell for cell
    EXPECT_EQ(automatic.primary.rows, 45);
    ASSERT_EQ(automatic.others.size(), 2u);
    EXPECT_EQ(automatic.others[0].scale, 1);
    EXPECT_EQ(automatic.others[0].cols, 120);
    EXPECT_EQ(automatic.others[1].scale, 3);
    EXPECT_EQ(automatic.others[1].cols, 1024 / 48);
    EXPECT_EQ(automatic.others[1].rows, 768 / 72);

    const MonitorPlan fixed = PlanMonitorCovers(monitors, kFallback, 1);
    EXPECT_EQ(fixed.primary.scale, 1);
    EXPECT_EQ(fixed.primary.cols, 240);
    EXPECT_EQ(fixed.primary.rows, 90);

    std::vector<MonitorCover> others = automatic.others;
    ApplyGlyphScale(others, 4);
    EXPECT_EQ(others[0].scale, 4);
    EXPECT_EQ(others[0].cols, 1920 / 64);
    EXPECT_EQ(others[0].rows, 1080 / 96);
    EXPECT_EQ(others[1].area, automatic.others[1].area);
    ApplyGlyphScale(others, kAutomaticGlyphScale);
    EXPECT_EQ(others, automatic.others);

    const MonitorPlan unlisted = PlanMonitorCovers({}, kFallback, kAutomaticGlyphScale, 144);
    EXPECT_EQ(unlisted.primary.scale, 2);
    EXPECT_EQ(unlisted.primary.cols, 800 / 32);
    EXPECT_EQ(unlisted.primary.rows, 600 / 48);
}

}  // namespace
}  // namespace korvane
