#include "host/lock_checks.h"

namespace korvane {
namespace {

using Differs = bool (*)(const LockedWindowFacts&, const LockedWindowRule&);

struct LockCheck {
    Differs differs;
    LockRepairs repairs;
};

// A window moved into another, or shown again, also needs its place back.
constexpr LockCheck kLockChecks[] = {
    {[](const LockedWindowFacts& f, const LockedWindowRule&) { return !f.parentIsDesktop; },
     kReparentToDesktop | kPlace},
    {[](const LockedWindowFacts& f, const LockedWindowRule&) { return f.hasForeignChild; },
     kReleaseForeignChildren},
    {[](const LockedWindowFacts& f, const LockedWindowRule&) { return !f.visible || f.minimised; },
     kShow},
    {[](const LockedWindowFacts& f, const LockedWindowRule& r) {
         return !f.enabled && !r.mayBeDisabled;
     },
     kEnable},
    {[](const LockedWindowFacts& f, const LockedWindowRule&) { return f.layeredOrTransparent; },
     kClearLayering},
    {[](const LockedWindowFacts& f, const LockedWindowRule&) { return f.hasRegion; }, kDropRegion},
    // A minimised window's rectangle is its icon's; shown again, it has its own back.
    {[](const LockedWindowFacts& f, const LockedWindowRule& r) {
         return !f.minimised && (!(f.area == r.monitor) || !f.topmost);
     },
     kPlace},
    {[](const LockedWindowFacts& f, const LockedWindowRule&) { return f.underForeignWindow; },
     kRaise},
};

}  // namespace

LockRepairs RepairsFor(const LockedWindowFacts& facts, const LockedWindowRule& rule) {
    LockRepairs repairs = 0;
    for (const LockCheck& check : kLockChecks) {
        if (check.differs(facts, rule)) {
            repairs |= check.repairs;
        }
    }
    return repairs;
}

LockRepairs KeepLockWhole(LockWorld& world, std::span<const LockedWindow> windows) {
    LockRepairs saverRepairs = 0;
    for (int pass = 0; pass < kLockCheckPasses; ++pass) {
        bool repaired = false;
        for (const LockedWindow& window : windows) {
            const LockRepairs repairs = RepairsFor(world.Inspect(window.window), window.rule);
            if (repairs == 0) {
                continue;
            }
            world.Repair(window, repairs);
            repaired = true;
            if (&window == &windows.front()) {
                saverRepairs |= repairs;
            }
        }
        if (!repaired) {
            break;
        }
    }
    if (!windows.empty() && !world.ForegroundIsOurs()) {
        world.TakeForeground(windows.front().window);
    }
    return saverRepairs;
}

}  // namespace korvane
