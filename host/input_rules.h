#pragma once

#include <cstdint>

namespace korvane {

// The window messages and system commands that the saver's input rules look at. The values are
// the platform's; they are repeated here so that the rules stay free of platform headers.
inline constexpr uint32_t kMessageShowWindow = 0x0018;
inline constexpr uint32_t kMessageActivateApp = 0x001C;
inline constexpr uint32_t kMessageSetCursor = 0x0020;
inline constexpr uint32_t kMessagePower = 0x0048;
inline constexpr uint32_t kMessageKeyDown = 0x0100;
inline constexpr uint32_t kMessageSysKeyDown = 0x0104;
inline constexpr uint32_t kMessageSysCommand = 0x0112;
inline constexpr uint32_t kMessageMouseMove = 0x0200;
inline constexpr uint32_t kMessageLeftButtonDown = 0x0201;
inline constexpr uint32_t kMessageRightButtonDown = 0x0204;
inline constexpr uint32_t kMessageMiddleButtonDown = 0x0207;
inline constexpr uint32_t kMessagePowerBroadcast = 0x0218;

inline constexpr uintptr_t kCommandNextWindow = 0xF040;
inline constexpr uintptr_t kCommandPreviousWindow = 0xF050;
inline constexpr uintptr_t kCommandClose = 0xF060;
inline constexpr uintptr_t kCommandScreenSave = 0xF140;
inline constexpr uintptr_t kCommandMonitorPower = 0xF170;
// The platform keeps the low four bits of a system command for itself; they name no command.
inline constexpr uintptr_t kCommandMask = 0xFFF0;

// Power-management notice that the machine is about to suspend.
inline constexpr uintptr_t kPowerSuspendRequest = 3;

// The largest movement, horizontal plus vertical pixels, that does not end the saver.
inline constexpr uint32_t kMouseThreshold = 4;

// Close requests this soon after a verification ended are refused without asking again.
inline constexpr uint32_t kVerifyGraceMilliseconds = 200;
inline constexpr uint32_t kNoVerificationYet = 0xFFFFFFFFu;

enum class InputReaction {
    kNone,
    kHideCursor,          // the window is being shown
    kHideCursorAnswered,  // WM_SETCURSOR: hide it and answer 1 ourselves
    kClose,               // post WM_CLOSE
    kMeasureMouse,        // compare the cursor with the reference point
};

// How the full-screen saver reacts to a message while no password is being asked.
InputReaction ReactToInput(uint32_t message, uintptr_t wParam);

enum class SystemCommandReaction {
    kPass,     // DefWindowProc carries it out
    kSwallow,  // answered without effect
    kClose,    // a close request, which goes through the password gate
};

// How a full-screen window reacts to a system command, judged by its command bits alone. With a
// password in force only the monitor's power passes and a close becomes a close request: any
// other command (minimise, task list, hot key...) could uncover or open the desktop. Without
// one, only the commands that switch away or restart the saver are swallowed.
SystemCommandReaction ReactToSystemCommand(uintptr_t command, bool passwordInForce);

struct CursorPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// Measures mouse movement from a reference point. Small moves leave the reference alone, so they
// add up; the move that ends the saver becomes the new reference.
class MouseTracker {
  public:
    void Reset(CursorPoint where) { reference_ = where; }
    // True when `now` lies more than the threshold away from the reference.
    bool MovedTooFar(CursorPoint now);
    CursorPoint reference() const { return reference_; }

  private:
    CursorPoint reference_;
};

// True while a close request must be refused because a verification ended under 200 ms ago.
// The unsigned difference makes the tick counter's wrap harmless.
bool WithinVerifyGrace(uint32_t now, uint32_t lastVerifyTick);

}  // namespace korvane
