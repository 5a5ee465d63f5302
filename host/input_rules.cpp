#include "host/input_rules.h"

#include <cstdlib>

namespace korvane {

InputReaction ReactToInput(uint32_t message, uintptr_t wParam) {
    switch (message) {
        case kMessageShowWindow:
            return wParam != 0 ? InputReaction::kHideCursor : InputReaction::kNone;
        case kMessageActivateApp:
            return wParam == 0 ? InputReaction::kClose : InputReaction::kNone;
        case kMessageSetCursor:
            return InputReaction::kHideCursorAnswered;
        case kMessagePower:
            return wParam == kPowerSuspendRequest ? InputReaction::kClose : InputReaction::kNone;
        case kMessagePowerBroadcast:
        case kMessageKeyDown:
        case kMessageSysKeyDown:
        case kMessageLeftButtonDown:
        case kMessageRightButtonDown:
        case kMessageMiddleButtonDown:
            return InputReaction::kClose;
        case kMessageMouseMove:
            return InputReaction::kMeasureMouse;
        default:
            return InputReaction::kNone;
    }
}

SystemCommandReaction ReactToSystemCommand(uintptr_t command, bool passwordInForce) {
    const uintptr_t named = command & kCommandMask;
    if (passwordInForce) {
        switch (named) {
            case kCommandClose:
                return SystemCommandReaction::kClose;
            case kCommandMonitorPower:
                return SystemCommandReaction::kPass;
            default:
                return SystemCommandReaction::kSwallow;
        }
    }
    switch (named) {
        case kCommandNextWindow:
        case kCommandPreviousWindow:
        case kCommandScreenSave:
            return SystemCommandReaction::kSwallow;
        default:
            return SystemCommandReaction::kPass;
    }
}

bool MouseTracker::MovedTooFar(CursorPoint now) {
    const int64_t distance =
        std::llabs(int64_t{now.x} - reference_.x) + std::llabs(int64_t{now.y} - reference_.y);
    if (distance <= kMouseThreshold) {
        return false;
    }
    reference_ = now;
    return true;
}

bool WithinVerifyGrace(uint32_t now, uint32_t lastVerifyTick) {
    return lastVerifyTick != kNoVerificationYet &&
           static_cast<uint32_t>(now - lastVerifyTick) < kVerifyGraceMilliseconds;
}

}  // namespace korvane
