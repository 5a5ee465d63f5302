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

// The low four bits are the platform's own: a forged command with them set is still the command.
TEST(ReactToSystemCommand, WithoutAPasswordOnlySwitchingAwayAndScreenSaveAreSwallowed) {
    const uintptr_t swallowed[] = {kCommandNextWindow, kCommandPreviousWindow | 3,
                                   kCommandScreenSave | 2, kCommandScreenSave | 0xF};
    for (const uintptr_t command : swallowed) {
        EXPECT_EQ(ReactToSystemCommand(command, false), SystemCommandReaction::kSwallow)
            << std::hex << command;
    }
    const uintptr_t passed[] = {kCommandClose | 2, 0xF020 /* minimise */, kCommandMonitorPower | 1};
    for (const uintptr_t command : passed) {
        EXPECT_EQ(ReactToSystemCommand(command, false), SystemCommandReaction::kPass)
            << std::hex << command;
    }
}

TEST(ReactToSystemCommand, WithAPasswordCloseAsksMonitorPowerPassesAndTheRestIsSwallowed) {
    EXPECT_EQ(ReactToSystemCommand(kCommandClose, true), SystemCommandReaction::kClose);
    EXPECT_EQ(ReactToSystemCommand(kCommandClose | 2, true), SystemCommandReaction::kClose);
    EXPECT_EQ(ReactToSystemCommand(kCommandMonitorPower | 1, true), SystemCommandReaction::kPass);
    // Minimise, maximise, move by the title, key menu, restore, task list, screen save, hot key.
    const uintptr_t swallowed[] = {
        0xF023, 0xF030, 0xF012, 0xF100, 0xF120, 0xF130, 0xF142, 0xF150, kCommandNextWindow};
    for (const uintptr_t command : swallowed) {
        EXPECT_EQ(ReactToSystemCommand(command, true), SystemCommandReaction::kSwallow)
            << std::hex << command;
    }
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
