#include <gtest/gtest.h>

#include <vector>

#include "sprites/busy_budget.h"
#include "sprites/sprite_strip.h"
#include "tests/support/step_clock.h"

namespace korvane {
namespace {

class BusySurface : public Surface {
  public:
    DisplayResult BltFast(int32_t x, int32_t y, Surface&, const PixelRect& rect,
                          uint32_t flags) override {
        ++calls;
        lastX = x;
        lastY = y;
        lastRect = rect;
        lastFlags = flags;
        return busyAnswers-- > 0 ? kWasStillDrawing : answer;
    }
    int calls = 0;
    int busyAnswers = 0;
    DisplayResult answer = kDisplayOk;
    int32_t lastX = -1, lastY = -1;
    PixelRect lastRect;
    uint32_t lastFlags = 99;
};

void ExpectRect(const PixelRect& r, int32_t l, int32_t t, int32_t rt, int32_t b) {
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.right, rt);
    EXPECT_EQ(r.bottom, b);
}

TEST(SpriteStripTest, NewStripHasPlaceholderFrame) {
    SpriteStrip strip;
    EXPECT_EQ(strip.frameCount, 0);
    ExpectRect(strip.sourceRect, 0, 0, 32, 32);
    EXPECT_EQ(strip.bltFlags, kBltSourceColorKey);
    EXPECT_EQ(strip.SetBltFlags(0), 1u);
    EXPECT_EQ(strip.SetBltFlags(1), 0u);
    BusySurface source, target;
    strip.sourceSurface = &source;
    strip.targetSurface = &target;
    strip.Draw(3, 4);
    ExpectRect(target.lastRect, 0, 0, 32, 32);
}

TEST(SpriteStripTest, FramesAreAddedAndSelected) {
    SpriteStrip strip;
    strip.AddFrame(1, 2, 3, 4);
    EXPECT_EQ(strip.frameCount, 1);
    ExpectRect(strip.sourceRect, 1, 2, 3, 4);
    strip.AddFrame(5, 6, 7, 8);
    ExpectRect(strip.sourceRect, 1, 2, 3, 4);
    strip.AddFrame(9, 10, 11, 12);
    EXPECT_EQ(strip.frameCount, 3);
    strip.SelectFrame(2);
    ExpectRect(strip.sourceRect, 9, 10, 11, 12);
    strip.SelectFrame(3);
    ExpectRect(strip.sourceRect, 9, 10, 11, 12);
    strip.SelectFrame(-1);
    ExpectRect(strip.sourceRect, 1, 2, 3, 4);
}

TEST(SpriteStripTest, FramesAddedTwiceRepeatTheAnimation) {
    SpriteStrip strip;
    for (int round = 0; round < 2; ++round) {
        for (int32_t k = 0; k < 8; ++k) {
            strip.AddFrame(k, 0, k + 16, 24);
        }
    }
    EXPECT_EQ(strip.frameCount, 16);
    for (int32_t tick = 0; tick < 40; ++tick) {
        strip.SelectFrame(tick % 16);
        EXPECT_EQ(strip.sourceRect.left, tick % 8);
    }
}

TEST(SpriteStripTest, DrawKeepsCoordinatesAndShiftsHistory) {
    SpriteStrip strip;
    BusySurface source, target;
    strip.sourceSurface = &source;
    strip.targetSurface = &target;
    strip.Draw(10, 20);
    strip.Draw(SpriteStrip::kKeepCoordinate, 50);
    EXPECT_EQ(strip.x, 10);
    EXPECT_EQ(strip.y, 50);
    EXPECT_EQ(strip.previousX, 10);
    EXPECT_EQ(strip.previousY, 20);
    EXPECT_EQ(strip.earlierX, 0);
    EXPECT_EQ(strip.earlierY, 0);
    EXPECT_EQ(target.lastX, 10);
    EXPECT_EQ(target.lastY, 50);
    EXPECT_EQ(target.lastFlags, kBltSourceColorKey);
}

TEST(SpriteStripTest, DrawRetriesOnlyWhileStillDrawing) {
    testing::StepClock::Reset(10);
    BusyBudget budget(&testing::StepClock::Now);
    SpriteStrip strip;
    BusySurface source, target;
    strip.sourceSurface = &source;
    strip.targetSurface = &target;
    strip.busyBudget = &budget;
    target.busyAnswers = 3;
    EXPECT_EQ(strip.Draw(0, 0), kDisplayOk);
    EXPECT_EQ(target.calls, 4);
    target.answer = kSurfaceLost;
    EXPECT_EQ(strip.Draw(0, 0), kSurfaceLost);
    EXPECT_EQ(target.calls, 5);

    // Without a budget a busy copy is tried once and left out.
    strip.busyBudget = nullptr;
    target.busyAnswers = 3;
    EXPECT_EQ(strip.Draw(0, 0), kWasStillDrawing);
    EXPECT_EQ(target.calls, 6);
}

// Takes bands whole and records them.
class BandSurface final : public Surface {
  public:
    DisplayResult BltFast(int32_t, int32_t, Surface&, const PixelRect&, uint32_t) override {
        ++singleCopies;
        return kDisplayOk;
    }
    bool TakesBands() const override { return true; }
    DisplayResult BltFastBand(int32_t y, Surface&, std::span<const BandCopy> copies,
                              uint32_t) override {
        bandY = y;
        bandSizes.push_back(copies.size());
        return kDisplayOk;
    }
    int singleCopies = 0;
    int32_t bandY = -1;
    std::vector<size_t> bandSizes;
};

// A band leaves the strip where the Draw of each copy would; the target gets it whole only
// when it takes bands, and otherwise each copy has its own retries.
TEST(SpriteStripTest, ABandIsTheDrawOfEachCopy) {
    const std::vector<BandCopy> band = {
        {16, {0, 0, 16, 24}}, {32, {16, 0, 32, 24}}, {48, {32, 24, 48, 48}}};
    BusySurface source;
    SpriteStrip eachDrawn, banded, busyBanded;
    BusySurface eachTarget, busyTarget;
    BandSurface bandTarget;
    for (SpriteStrip* strip : {&eachDrawn, &banded, &busyBanded}) {
        strip->sourceSurface = &source;
        strip->Draw(5, 7);
    }
    eachDrawn.targetSurface = &eachTarget;
    banded.targetSurface = &bandTarget;
    busyBanded.targetSurface = &busyTarget;
    for (const BandCopy& copy : band) {
        eachDrawn.sourceRect = copy.rect;
        eachDrawn.Draw(copy.x, 72);
    }
    EXPECT_EQ(banded.DrawBand(72, band), kDisplayOk);
    EXPECT_EQ(bandTarget.bandSizes, std::vector<size_t>{3});
    EXPECT_EQ(bandTarget.bandY, 72);
    EXPECT_EQ(bandTarget.singleCopies, 0);
    for (SpriteStrip* strip : {&banded, &busyBanded}) {
        EXPECT_EQ(strip->DrawBand(72, {}), kDisplayOk) << "an empty band moves nothing";
    }
    testing::StepClock::Reset(10);
    BusyBudget budget(&testing::StepClock::Now);
    busyBanded.busyBudget = &budget;
    busyTarget.busyAnswers = 2;
    EXPECT_EQ(busyBanded.DrawBand(72, band), kDisplayOk);
    EXPECT_EQ(busyTarget.calls, 5) << "the first copy retried twice, then one call a copy";
    for (const SpriteStrip* strip : {&banded, &busyBanded}) {
        EXPECT_EQ(strip->x, eachDrawn.x);
        EXPECT_EQ(strip->y, eachDrawn.y);
        EXPECT_EQ(strip->previousX, eachDrawn.previousX);
        EXPECT_EQ(strip->earlierX, eachDrawn.earlierX);
        EXPECT_EQ(strip->previousY, eachDrawn.previousY);
        ExpectRect(strip->sourceRect, 32, 24, 48, 48);
    }
    busyTarget.answer = kSurfaceLost;
    EXPECT_EQ(busyBanded.DrawBand(72, band), kSurfaceLost) << "the first failure is answered";
}

TEST(SpriteStripTest, DrawWithoutSurfacesCopiesNothing) {
    SpriteStrip strip;
    BusySurface target;
    EXPECT_NE(strip.Draw(1, 1), kDisplayOk);
    strip.targetSurface = &target;
    EXPECT_NE(strip.Draw(2, 2), kDisplayOk);
    EXPECT_EQ(target.calls, 0);
    EXPECT_EQ(strip.x, 2) << "the position still moves";
}

}  // namespace
}  // namespace korvane
