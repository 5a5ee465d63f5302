#include "host/input_rules.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(ReactToInput, KeysAndButtonsClose) {
    for (uint32_t message : {kMessageKeyDown, kMessageSysKeyDown, kMessageLeftButtonDown,
                             kMessageRightButtonDown, kMessageMiddleButtonDown}) {
        EXPECT_EQ(ReactToInput(message, 0), InputReaction::kClose) << message;
    }
}

TEST(ReactToInput, LosingActivationClosesGainingDoesNot) {
    EXPECT_EQ(ReactToInput(kMessageActivateApp, 0), InputReaction::kClose);
    EXPECT_EQ(ReactToInput(kMessageActivateApp, 1), InputReaction::kNone);
}

TEST(ReactToInput, PowerClosesOnlyOnSuspendRequestBroadcastAlways) {
    EXPECT_EQ(ReactToInput(kMessagePower, 3), InputReaction::kClose);
    EXPECT_EQ(ReactToInput(kMessagePower, 2), InputReaction::kNone);
    EXPECT_EQ(ReactToInput(kMessagePower, 0), InputReaction::kNone);
    EXPECT_EQ(ReactToInput(kMessagePowerBroadcast, 0), InputReaction::kClose);
    EXPECT_EQ(ReactToInput(kMessagePowerBroadcast, 18), InputReaction::kClose);
}

TEST(ReactToInput, CursorIsHiddenOnShowAndSetCursor) {
    EXPECT_EQ(ReactToInput(kMessageShowWindow, 1), InputReaction::kHideCursor);
    EXPECT_EQ(ReactToInput(kMessageShowWindow, 0), InputReaction::kNone);
    EXPECT_EQ(ReactToInput(kMessageSetCursor, 0), InputReaction::kHideCursorAnswered);
    EXPECT_EQ(ReactToInput(kMessageMouseMove, 0), InputReaction::kMeasureMouse);
    EXPECT_EQ(ReactToInput(0x000F /* paint */, 0), InputReaction::kNone);
    EXPECT_EQ(ReactToInput(0x0102 /* char */, 'a'), InputReaction::kNone);
}

TEST(SwallowsSystemCommand, OnlyWindowSwitchingAndScreenSave) {
    EXPECT_TRUE(SwallowsSystemCommand(kCommandNextWindow));
    EXPECT_TRUE(SwallowsSystemCommand(kCommandPreviousWindow));
    EXPECT_TRUE(SwallowsSystemCommand(kCommandScreenSave));
    EXPECT_FALSE(SwallowsSystemCommand(0xF060));  // close
    EXPECT_FALSE(SwallowsSystemCommand(0xF142));  // screen-save with low bits set
}

TEST(MouseTracker, FourPixelsStayFivePixelsClose) {
    MouseTracker tracker;
    tracker.Reset({100, 100});
    EXPECT_FALSE(tracker.MovedTooFar({103, 101}));
    EXPECT_FALSE(tracker.MovedTooFar({96, 100}));
    EXPECT_FALSE(tracker.MovedTooFar({100, 104}));
    EXPECT_TRUE(tracker.MovedTooFar({102, 97}));
}

TEST(MouseTracker, SmallMovesAddUpAndTheClosingMoveBecomesTheReference) {
    MouseTracker tracker;
    tracker.Reset({10, 10});
    EXPECT_FALSE(tracker.MovedTooFar({12, 10}));
    EXPECT_FALSE(tracker.MovedTooFar({14, 10}));
    EXPECT_TRUE(tracker.MovedTooFar({15, 10}));
    EXPECT_EQ(tracker.reference().x, 15);
    EXPECT_FALSE(tracker.MovedTooFar({17, 12}));
}

TEST(MouseTracker, FarApartPointsDoNotOverflow) {
    MouseTracker tracker;
    tracker.Reset({INT32_MIN, INT32_MIN});
    EXPECT_TRUE(tracker.MovedTooFar({INT32_MAX, INT32_MAX}));
}

TEST(WithinVerifyGrace, RefusesBelow200MillisecondsOnly) {
    EXPECT_FALSE(WithinVerifyGrace(5000, kNoVerificationYet));
    EXPECT_TRUE(WithinVerifyGrace(5000, 5000));
    EXPECT_TRUE(WithinVerifyGrace(5199, 5000));
    EXPECT_FALSE(WithinVerifyGrace(5200, 5000));
}

TEST(WithinVerifyGrace, SurvivesTheTickCounterWrap) {
    EXPECT_TRUE(WithinVerifyGrace(50, 0xFFFFFFF0u));
    EXPECT_FALSE(WithinVerifyGrace(300, 0xFFFFFFF0u));
}

}  // namespace
}  // namespace korvane
