#pragma once

#include <windows.h>

#include <optional>
#include <span>

#include "host/lock_checks.h"

// The lock against other programs on the platform's windows: what the check reads of the saver
// window and each monitor cover, how it repairs them at once, and the style changes it refuses
// beforehand.

namespace korvane {

// The lock check's own timer on the saver window. It keeps running while a prompt or a notice
// is up, whose modal loops dispatch it as the run's loop does.
inline constexpr UINT_PTR kLockCheckTimer = 228;
inline constexpr UINT kLockCheckMilliseconds = 100;

using LockForegroundProc = BOOL(WINAPI*)(UINT);
// LockSetForegroundWindow where the system has it (Windows 98 and 2000 on); null elsewhere.
LockForegroundProc ResolveForegroundLock();

inline LockWindowId LockIdOf(HWND window) {
    return reinterpret_cast<LockWindowId>(window);
}
inline HWND WindowOfLockId(LockWindowId window) {
    return reinterpret_cast<HWND>(window);
}
inline ScreenRect ScreenRectOf(const RECT& area) {
    return {area.left, area.top, area.right, area.bottom};
}

// The platform's window world: a window of this process is ours, any other another program's.
class SystemLockWorld final : public LockWorld {
  public:
    SystemLockWorld();
    ~SystemLockWorld();
    SystemLockWorld(const SystemLockWorld&) = delete;
    SystemLockWorld& operator=(const SystemLockWorld&) = delete;

    LockedWindowFacts Inspect(LockWindowId window) override;
    void Repair(const LockedWindow& window, LockRepairs repairs) override;
    bool ForegroundIsOurs() override;
    void TakeForeground(LockWindowId saverWindow) override;

    LockForegroundProc lockForeground = ResolveForegroundLock();  // tests hand in their own

  private:
    HRGN region_;  // where GetWindowRgn copies a window's region, if it has one
};

// The check of the whole lock, run from its timer and from every message that can change one
// of its windows. A check that a repair's own messages start while one runs does nothing; the
// one under way looks again.
class LockIntegrity {
  public:
    // Answers the repairs the first window (the saver window) needed; nothing when a check
    // was already under way.
    std::optional<LockRepairs> Check(std::span<const LockedWindow> windows);

    SystemLockWorld world;

  private:
    bool checking_ = false;
};

// WM_STYLECHANGING on a window of the lock: whatever another program asks, the style stays as
// it is and the extended style is neither layered nor transparent.
void KeepLockedStyle(WPARAM which, STYLESTRUCT& style);

}  // namespace korvane
