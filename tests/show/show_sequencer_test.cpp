#include <gtest/gtest.h>

#include "grid/glyph_charset.h"
#include "show/frame_tick.h"
#include "show_test_support.h"
#include "sprites/cursor_frames.h"
#include "tests/support/step_clock.h"

namespace korvane {
namespace {

using testing::EventNames;
using testing::ShowRig;

// One entry per stretch of frames that ended in the same state; `wiped` tells whether the
// stretch's last frame wiped.
struct Stretch {
    int32_t state;
    int32_t frames;
    bool wiped;
    bool operator==(const Stretch&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Stretch& s) {
    return out << "{" << s.state << ", " << s.frames << ", " << s.wiped << "}";
}

struct Recording {
    std::vector<Stretch> stretches;
    std::vector<int32_t> stateAtStart;
};

// Runs frames and records the sequencer's state at the start of each frame.
Recording RunFrames(ShowRig& rig, int32_t frames) {
    Recording rec;
    for (int32_t t = 0; t < frames; ++t) {
        const auto state = static_cast<int32_t>(rig.show.sequencerState);
        const int64_t clears = rig.display.clearCount;
        FrameTick(rig.show, t);
        const bool wiped = rig.display.clearCount != clears;
        rec.stateAtStart.push_back(state);
        if (rec.stretches.empty() || rec.stretches.back().state != state ||
            rec.stretches.back().wiped) {
            rec.stretches.push_back({state, 0, false});
        }
        ++rec.stretches.back().frames;
        rec.stretches.back().wiped = wiped;
    }
    return rec;
}

constexpr int32_t kTitleFrames = 154 + 491;
constexpr int32_t kRainFrames = 2501;
constexpr int32_t kEmptyTraceFrames = 22;

class SequencerSwitches : public ::testing::Test {
  protected:
    void SetUp() override {
        rig.SetPhoneNumber("");  // 22 frames, no random draws
        rig.SetMessage("");      // ends on its first advance
    }
    ShowRig rig;
};

TEST_F(SequencerSwitches, AllOffOnlyFlipsRendersAndDrawsTheCursor) {
    rig.SetSwitches(false, false, false, false);
    CreateShowGrid(rig.show, 40, 20);
    const std::vector<int32_t> cells = rig.show.grid->cells;
    const Recording rec = RunFrames(rig, 300);
    EXPECT_EQ(rec.stretches, (std::vector<Stretch>{{0, 300, false}}));
    EXPECT_EQ(rig.show.sequencerState, SequencerState::kTitle);
    EXPECT_EQ(rig.display.flipCount, 300);
    EXPECT_EQ(rig.display.clearCount, 0);
    EXPECT_TRUE(rig.log.events.empty());
    EXPECT_EQ(rig.show.grid->cells, cells);
}

TEST_F(SequencerSwitches, CodeOffCyclesTitleTelephoneMessageWithTheTitleMusicEachTime) {
    rig.SetSwitches(true, true, true, false);
    CreateShowGrid(rig.show, 40, 20);
    const Recording rec = RunFrames(rig, 2 * (kTitleFrames + kEmptyTraceFrames + 200));
    ASSERT_GE(rec.stretches.size(), 6u);
    EXPECT_EQ(rec.stretches[0], (Stretch{0, kTitleFrames, true}));
    EXPECT_EQ(rec.stretches[1], (Stretch{1, kEmptyTraceFrames, true}));
    EXPECT_EQ(rec.stretches[2].state, 2);
    EXPECT_TRUE(rec.stretches[2].wiped);
    // State 3 is handed over to the skipped end within a frame and the cycle restarts.
    EXPECT_EQ(rec.stretches[3], (Stretch{3, 1, true}));
    EXPECT_EQ(rec.stretches[4], (Stretch{0, kTitleFrames, true}));
    int musicCues = 0;
    for (const std::string& name : EventNames(rig.log)) {
        musicCues += name == "play 138" ? 1 : 0;
    }
    // One cue per band-mode run, the run being cut off at the end included.
    const auto titleRuns = std::count_if(rec.stretches.begin(), rec.stretches.end(),
                                         [](const Stretch& s) { return s.state == 0; });
    EXPECT_GE(titleRuns, 2);
    EXPECT_EQ(musicCues, titleRuns);
}

TEST_F(SequencerSwitches, TitleOffRunsTheCombinedStateAsOneEmptyWipingFrame) {
    rig.SetSwitches(false, true, true, true);
    CreateShowGrid(rig.show, 40, 20);
    const Recording rec = RunFrames(rig, kEmptyTraceFrames + 200 + kRainFrames + 30);
    ASSERT_GE(rec.stretches.size(), 6u);
    // The first frame hands over from the title to the telephone.
    EXPECT_EQ(rec.stretches[0], (Stretch{0, 1, false}));
    EXPECT_EQ(rec.stretches[1], (Stretch{1, kEmptyTraceFrames - 1, true}));
    EXPECT_EQ(rec.stretches[2].state, 2);
    EXPECT_EQ(rec.stretches[3], (Stretch{3, kRainFrames, false}));
    EXPECT_EQ(rec.stretches[4], (Stretch{4, 1, true}));
    EXPECT_EQ(rec.stretches[5].state, 0);  // hands over to the telephone again
    EXPECT_EQ(rec.stretches[5].frames, 1);
    EXPECT_EQ(rec.stretches[6].state, 1);
}

TEST_F(SequencerSwitches, OnlyCodeRunsTheRainAgainOnTheSameGrid) {
    rig.SetSwitches(false, false, false, true);
    CreateShowGrid(rig.show, 40, 20);
    const Recording rec = RunFrames(rig, 2 * kRainFrames + 10);
    ASSERT_GE(rec.stretches.size(), 3u);
    // Frame 0 hands states 0, 1 and 2 over to the rain.
    EXPECT_EQ(rec.stretches[0], (Stretch{0, 1, false}));
    EXPECT_EQ(rec.stretches[1], (Stretch{3, kRainFrames - 1, false}));
    EXPECT_EQ(rec.stretches[2], (Stretch{4, 1, false}));
    EXPECT_EQ(rec.stretches[3].state, 0);
    EXPECT_EQ(rec.stretches[4].state, 3);
    EXPECT_EQ(rig.display.clearCount, 0);
    EXPECT_TRUE(rig.log.events.empty());  // the rain is silent
}

TEST_F(SequencerSwitches, OnlyTitleWipesAfterTheTitleButNotAfterTheSkippedFrame) {
    rig.SetSwitches(true, false, false, false);
    CreateShowGrid(rig.show, 40, 20);
    const Recording rec = RunFrames(rig, 2 * kTitleFrames + 1);
    EXPECT_EQ(rec.stretches, (std::vector<Stretch>{
                                 {0, kTitleFrames, true}, {1, 1, false}, {0, kTitleFrames, true}}));
    EXPECT_EQ(rig.display.clearCount, 2);
    EXPECT_EQ(EventNames(rig.log),
              (std::vector<std::string>{"stop", "play 138", "wipe", "stop", "play 138", "wipe"}));
}

TEST_F(SequencerSwitches, AllOnPlaysTheBandTitleOnlyOnceThenCyclesFromTheTelephone) {
    CreateShowGrid(rig.show, 40, 20);
    const int32_t frames =
        kTitleFrames + 2 * (kEmptyTraceFrames + 200 + kRainFrames + kTitleFrames);
    const Recording rec = RunFrames(rig, frames);
    std::vector<int32_t> order;
    for (const Stretch& s : rec.stretches) {
        order.push_back(s.state);
    }
    ASSERT_GE(order.size(), 9u);
    EXPECT_EQ(std::vector<int32_t>(order.begin(), order.begin() + 9),
              (std::vector<int32_t>{0, 1, 2, 3, 4, 1, 2, 3, 4}));
    // The rain hands its grid to the combined state: no wipe after state 3; after state 4
    // the telephone starts on a wiped screen.
    EXPECT_FALSE(rec.stretches[3].wiped);
    EXPECT_TRUE(rec.stretches[4].wiped);
    EXPECT_EQ(rec.stretches[4].frames, kTitleFrames);
    int musicCues = 0;
    for (const std::string& name : EventNames(rig.log)) {
        musicCues += name == "play 138" ? 1 : 0;
    }
    EXPECT_EQ(musicCues, 1);
}

TEST(FrameTick, CursorFollowsTheTextCursorWithTheFrameChosenATickEarlier) {
    ShowRig rig;
    for (int32_t i = 0; i < 8; ++i) {
        rig.show.cursorStrip.AddFrame(i * 16, 0, i * 16 + 16, 24);
    }
    CreateShowGrid(rig.show, 40, 20);
    for (int32_t t = 0; t < 20; ++t) {
        const PixelRect selected = rig.show.cursorStrip.sourceRect;
        FrameTick(rig.show, t);
        const CodeGrid& grid = *rig.show.grid;
        EXPECT_EQ(rig.show.cursorStrip.x, grid.cursorColumn * 16);
        EXPECT_EQ(rig.show.cursorStrip.y, grid.cursorRow * 24);
        // The strip drew `selected`; what it holds now is frame t mod 8.
        EXPECT_EQ(rig.show.cursorStrip.sourceRect.left, (t % 8) * 16);
        EXPECT_EQ(selected.left, t == 0 ? 0 : ((t - 1) % 8) * 16);
    }
}

TEST(FrameTick, AMissingGridStopsEverything) {
    ShowRig rig;
    for (int32_t t = 0; t < 50; ++t) {
        FrameTick(rig.show, t);  // before the window is shown there is no grid
    }
    EXPECT_EQ(rig.display.flipCount, 0);
    EXPECT_TRUE(rig.log.events.empty());
    CreateShowGrid(rig.show, 40, 20);
    FrameTick(rig.show, 50);
    EXPECT_EQ(rig.display.flipCount, 1);
}

// A display whose every copy answers "still drawing".
class StillDrawingSurface : public Surface {
  public:
    DisplayResult BltFast(int32_t, int32_t, Surface&, const PixelRect&, uint32_t) override {
        ++calls;
        return kWasStillDrawing;
    }
    int64_t calls = 0;
};

TEST(FrameTick, ADisplayThatStaysBusyCostsEachFrameOneBudget) {
    constexpr int64_t kStep = 7;  // not a divisor of the budget: the last retry must fit too
    testing::StepClock::Reset(kStep);
    ShowRig rig;
    rig.show.busyBudget = BusyBudget(&testing::StepClock::Now);
    StillDrawingSurface sheet, page;
    WireStrips(rig.show.glyphStrip, rig.show.cursorStrip, &sheet, &page, &page);
    CreateShowGrid(rig.show, 40, 20);  // the first frame draws all 800 cells
    for (int32_t t = 0; t < 4; ++t) {
        const int64_t start = testing::StepClock::now;
        const int64_t calls = page.calls;
        FrameTick(rig.show, t);
        const int64_t spent = testing::StepClock::now - start;
        EXPECT_GE(spent, BusyBudget::kMilliseconds) << "frame " << t;
        EXPECT_LE(spent, BusyBudget::kMilliseconds + kStep) << "frame " << t;
        // At most the first copy's tries, one a step; every later copy of the frame is left out.
        EXPECT_LE(page.calls - calls, BusyBudget::kMilliseconds / kStep + 1) << "frame " << t;
    }
    EXPECT_EQ(rig.display.flipCount, 4);
}

TEST(FrameTick, ShowsOfTheSameSettingsAreIdentical) {
    ShowRig first;
    ShowRig second;
    CreateShowGrid(first.show, 64, 32);
    CreateShowGrid(second.show, 64, 32);
    for (int32_t t = 0; t < 1500; ++t) {
        FrameTick(first.show, t);
        FrameTick(second.show, t);
    }
    EXPECT_EQ(first.show.grid->cells, second.show.grid->cells);
    EXPECT_EQ(first.show.random.seed(), second.show.random.seed());
    EXPECT_EQ(EventNames(first.log), EventNames(second.log));
}

}  // namespace
}  // namespace korvane
