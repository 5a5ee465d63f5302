// The lock check's decisions over a fake window world: which differences call for which
// repair, that one check leaves every window whole, that a world undoing each repair cannot
// keep it looping, and when the foreground is taken back.
#include "host/lock_checks.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace korvane {
namespace {

constexpr ScreenRect kPrimary{0, 0, 1024, 768};
constexpr ScreenRect kBeside{1024, 0, 2048, 768};

LockedWindowFacts WholeOver(const ScreenRect& monitor) {
    LockedWindowFacts facts;
    facts.area = monitor;
    return facts;
}

TEST(RepairsFor, EachDifferenceCallsForItsRepairAndAWindowMovedAwayGetsItsPlaceBack) {
    struct Case {
        const char* what;
        void (*change)(LockedWindowFacts&);
        LockRepairs expected;
    };
    const Case cases[] = {
        {"whole", [](LockedWindowFacts&) {}, 0},
        {"moved into another window", [](LockedWindowFacts& f) { f.parentIsDesktop = false; },
         kReparentToDesktop | kPlace},
        {"another's child", [](LockedWindowFacts& f) { f.hasForeignChild = true; },
         kReleaseForeignChildren},
        {"hidden", [](LockedWindowFacts& f) { f.visible = false; }, kShow},
        {"minimised to an icon",
         [](LockedWindowFacts& f) {
             f.minimised = true;
             f.area = {0, 744, 160, 768};
         },
         kShow},
        {"disabled", [](LockedWindowFacts& f) { f.enabled = false; }, kEnable},
        {"see-through", [](LockedWindowFacts& f) { f.layeredOrTransparent = true; },
         kClearLayering},
        {"a region", [](LockedWindowFacts& f) { f.hasRegion = true; }, kDropRegion},
        {"a pixel off", [](LockedWindowFacts& f) { f.area.right -= 1; }, kPlace},
        {"not topmost", [](LockedWindowFacts& f) { f.topmost = false; }, kPlace},
        {"under another's window", [](LockedWindowFacts& f) { f.underForeignWindow = true; },
         kRaise},
    };
    const LockedWindowRule rule{kPrimary, false};
    for (const Case& c : cases) {
        LockedWindowFacts facts = WholeOver(kPrimary);
        c.change(facts);
        EXPECT_EQ(RepairsFor(facts, rule), c.expected) << c.what;
    }
    // Only our own prompt may disable the saver window.
    LockedWindowFacts disabled = WholeOver(kPrimary);
    disabled.enabled = false;
    EXPECT_EQ(RepairsFor(disabled, {kPrimary, true}), 0u);
}

// A window world in memory: a repair makes the window whole in what it repairs, unless the
// world undoes every repair at once, as a hostile program might.
class FakeLockWorld final : public LockWorld {
  public:
    LockedWindowFacts Inspect(LockWindowId window) override { return facts[window]; }
    void Repair(const LockedWindow& window, LockRepairs repairs) override {
        repaired.push_back({window.window, repairs});
        if (undoesRepairs) {
            return;
        }
        LockedWindowFacts& f = facts[window.window];
        if ((repairs & kReparentToDesktop) != 0) {
            f.parentIsDesktop = true;
        }
        if ((repairs & kReleaseForeignChildren) != 0) {
            f.hasForeignChild = false;
        }
        if ((repairs & kShow) != 0) {
            f.visible = true;
            f.minimised = false;
        }
        if ((repairs & kEnable) != 0) {
            f.enabled = true;
        }
        if ((repairs & kClearLayering) != 0) {
            f.layeredOrTransparent = false;
        }
        if ((repairs & kDropRegion) != 0) {
            f.hasRegion = false;
        }
        if ((repairs & (kPlace | kRaise)) != 0) {
            f.area = window.rule.monitor;
            f.topmost = true;
            f.underForeignWindow = false;
        }
    }
    bool ForegroundIsOurs() override { return foregroundOurs; }
    void TakeForeground(LockWindowId saverWindow) override {
        foregroundGivenTo.push_back(saverWindow);
        foregroundOurs = true;
    }

    std::map<LockWindowId, LockedWindowFacts> facts;
    std::vector<std::pair<LockWindowId, LockRepairs>> repaired;
    std::vector<LockWindowId> foregroundGivenTo;
    bool undoesRepairs = false;
    bool foregroundOurs = true;
};

constexpr LockWindowId kSaver = 1;
constexpr LockWindowId kCover = 2;
const std::vector<LockedWindow> kLock{{kSaver, {kPrimary, false}}, {kCover, {kBeside, false}}};

TEST(KeepLockWhole, OneCheckRepairsEveryWindowOnceAndAnswersTheSaverWindowsRepairs) {
    FakeLockWorld world;
    world.facts[kSaver] = WholeOver(kPrimary);
    world.facts[kSaver].parentIsDesktop = false;
    world.facts[kSaver].area = {10, 10, 50, 50};
    world.facts[kCover] = WholeOver(kBeside);
    world.facts[kCover].hasRegion = true;
    world.facts[kCover].enabled = false;

    EXPECT_EQ(KeepLockWhole(world, kLock), kReparentToDesktop | kPlace);
    EXPECT_EQ(world.repaired,
              (std::vector<std::pair<LockWindowId, LockRepairs>>{
                  {kSaver, kReparentToDesktop | kPlace}, {kCover, kEnable | kDropRegion}}));
    for (const LockedWindow& window : kLock) {
        EXPECT_EQ(RepairsFor(world.facts[window.window], window.rule), 0u);
    }
    // A whole lock needs nothing.
    world.repaired.clear();
    EXPECT_EQ(KeepLockWhole(world, kLock), 0u);
    EXPECT_TRUE(world.repaired.empty());
}

TEST(KeepLockWhole, AWorldThatUndoesEveryRepairIsMetAFewTimesAndTheCheckEnds) {
    FakeLockWorld world;
    world.undoesRepairs = true;
    world.facts[kSaver] = WholeOver(kPrimary);
    world.facts[kSaver].hasRegion = true;
    world.facts[kCover] = WholeOver(kBeside);
    KeepLockWhole(world, kLock);
    EXPECT_EQ(world.repaired.size(), static_cast<size_t>(kLockCheckPasses));
}

TEST(KeepLockWhole, TheForegroundGoesBackToTheSaverWindowOnlyFromAnotherProcess) {
    FakeLockWorld world;
    world.facts[kSaver] = WholeOver(kPrimary);
    world.facts[kCover] = WholeOver(kBeside);
    KeepLockWhole(world, kLock);
    EXPECT_TRUE(world.foregroundGivenTo.empty());
    world.foregroundOurs = false;
    KeepLockWhole(world, kLock);
    EXPECT_EQ(world.foregroundGivenTo, std::vector<LockWindowId>{kSaver});
}

}  // namespace
}  // namespace korvane
