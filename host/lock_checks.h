#pragma once

#include <cstdint>
#include <span>

#include "host/monitor_layout.h"

// What the full-screen lock demands of each of its windows (the saver window and every monitor
// cover), as data: which differences count and the repair each calls for. Portable, so that a
// fake window world can try the decisions natively.

namespace korvane {

// What the check sees of one of the lock's windows.
struct LockedWindowFacts {
    bool parentIsDesktop = true;
    bool hasForeignChild = false;  // a window of another process made its child
    bool visible = true;
    bool minimised = false;
    bool enabled = true;
    bool layeredOrTransparent = false;
    bool hasRegion = false;
    ScreenRect area{};
    bool topmost = true;
    // A visible window of another process lies above it, over its area.
    bool underForeignWindow = false;
};

// What the window must be.
struct LockedWindowRule {
    ScreenRect monitor{};
    // Our own modal prompt or notice disables the saver window that owns it; nothing else may.
    bool mayBeDisabled = false;
};

// The repairs, applied in this order.
enum LockRepair : uint32_t {
    kReparentToDesktop = 1u << 0,
    kReleaseForeignChildren = 1u << 1,  // each to the desktop, hidden
    kShow = 1u << 2,                    // a minimised window is restored; then placed
    kEnable = 1u << 3,
    kClearLayering = 1u << 4,  // neither layered nor transparent
    kDropRegion = 1u << 5,
    kPlace = 1u << 6,  // its monitor's rectangle, topmost
    kRaise = 1u << 7,  // above every other window
};
using LockRepairs = uint32_t;

// The repairs `facts` call for under `rule`; 0 when the window is whole.
LockRepairs RepairsFor(const LockedWindowFacts& facts, const LockedWindowRule& rule);

// A window of the lock, named as the window world names it.
using LockWindowId = uintptr_t;
struct LockedWindow {
    LockWindowId window = 0;
    LockedWindowRule rule;
};

// The window world the check reads and repairs: the platform's, or a fake one in tests.
class LockWorld {
  public:
    virtual LockedWindowFacts Inspect(LockWindowId window) = 0;
    virtual void Repair(const LockedWindow& window, LockRepairs repairs) = 0;
    // A window of this process has the foreground.
    virtual bool ForegroundIsOurs() = 0;
    // Gives the foreground to the saver window, or to the prompt or notice it owns, and locks
    // it there where the system can.
    virtual void TakeForeground(LockWindowId saverWindow) = 0;

  protected:
    ~LockWorld() = default;
};

// Passes of one check at most: a program that undoes every repair at once is met again by the
// next check, not by a loop that never ends.
inline constexpr int kLockCheckPasses = 3;

// One whole check: every window inspected and repaired until none differs, then the
// foreground taken back when another process holds it. `windows` begins with the saver window;
// answers the repairs it needed.
LockRepairs KeepLockWhole(LockWorld& world, std::span<const LockedWindow> windows);

}  // namespace korvane
