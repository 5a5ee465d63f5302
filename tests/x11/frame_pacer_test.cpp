#include "x11/frame_pacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvane {
namespace {

constexpr int64_t kMs = 1'000'000;
constexpr int64_t kPeriod = 30 * kMs;

// Runs ticks at the given clock readings, each as soon as the pacer allows; the times the
// ticks were due.
std::vector<int64_t> DeadlinesOfTicksAt(FramePacer& pacer, const std::vector<int64_t>& clock) {
    std::vector<int64_t> due;
    for (int64_t now : clock) {
        due.push_back(pacer.NextDeadline());
        pacer.TickStarted(now);
    }
    return due;
}

TEST(FramePacer, DeadlinesStayOnTheStartsGridWhateverTheTicksCost) {
    FramePacer pacer(1000 * kMs, kPeriod);
    EXPECT_EQ(pacer.WaitAt(990 * kMs), 10 * kMs);
    EXPECT_EQ(pacer.WaitAt(1000 * kMs), 0);
    // Ticks that start a little after their deadline, by varying amounts (the work of a
    // frame), must not drift: the fourth is still due at start + 3 periods.
    const std::vector<int64_t> due = DeadlinesOfTicksAt(
        pacer, {1000 * kMs + 1, 1030 * kMs + 7 * kMs, 1060 * kMs + 29 * kMs, 1090 * kMs});
    EXPECT_EQ(due, (std::vector<int64_t>{1000 * kMs, 1030 * kMs, 1060 * kMs, 1090 * kMs}));
    EXPECT_EQ(pacer.NextDeadline(), 1120 * kMs);
    EXPECT_EQ(pacer.missedDeadlines(), 0);
    EXPECT_EQ(pacer.ticks(), 4);
}

TEST(FramePacer, ALateFrameMissesTheDeadlinesItOverranAndShiftsNoLaterOne) {
    FramePacer pacer(0, kPeriod);
    pacer.TickStarted(0);
    // The second tick comes 75 ms late: the deadlines at 60 and 90 went by without a tick.
    pacer.TickStarted(30 * kMs + 75 * kMs);
    EXPECT_EQ(pacer.missedDeadlines(), 2);
    // The next is the first deadline still ahead on the original grid, not 105 + 30.
    EXPECT_EQ(pacer.NextDeadline(), 120 * kMs);
    EXPECT_EQ(pacer.WaitAt(30 * kMs + 75 * kMs), 15 * kMs);
    pacer.TickStarted(120 * kMs);
    pacer.TickStarted(150 * kMs);
    EXPECT_EQ(pacer.missedDeadlines(), 2);
    EXPECT_EQ(pacer.NextDeadline(), 180 * kMs);
}

TEST(FramePacer, ATickJustShortOfTheNextDeadlineKeepsItsSlot) {
    FramePacer pacer(0, kPeriod);
    pacer.TickStarted(kPeriod - 1);
    EXPECT_EQ(pacer.missedDeadlines(), 0);
    EXPECT_EQ(pacer.NextDeadline(), kPeriod);
    pacer.TickStarted(2 * kPeriod);  // reaching the following deadline is missing this one
    EXPECT_EQ(pacer.missedDeadlines(), 1);
    EXPECT_EQ(pacer.NextDeadline(), 3 * kPeriod);
}

TEST(FramePacer, RestartAfterAPauseCountsNoMissesForThePause) {
    FramePacer pacer(0, kPeriod);
    pacer.TickStarted(0);
    pacer.Restart(10'000 * kMs);
    EXPECT_EQ(pacer.NextDeadline(), 10'000 * kMs);
    pacer.TickStarted(10'000 * kMs);
    EXPECT_EQ(pacer.missedDeadlines(), 0);
    EXPECT_EQ(pacer.ticks(), 2);
}

}  // namespace
}  // namespace korvane
