#include "host/lock_integrity_windows.h"

#include <utility>

namespace korvane {
namespace {

constexpr LONG_PTR kSeeThrough = WS_EX_LAYERED | WS_EX_TRANSPARENT;
// More windows than any session holds; a walk never runs longer than this.
constexpr int kMostWindowsWalked = 4096;
constexpr UINT kForegroundLock = 1;  // LSFW_LOCK

bool OfThisProcess(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

bool HasForeignChild(HWND window) {
    HWND child = GetWindow(window, GW_CHILD);
    for (int i = 0; child != nullptr && i < kMostWindowsWalked; ++i) {
        if (!OfThisProcess(child)) {
            return true;
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    return false;
}

// Each child of another process goes to the desktop, hidden: it can neither be seen over the
// lock nor take its input.
void ReleaseForeignChildren(HWND window) {
    for (int i = 0; i < kMostWindowsWalked; ++i) {
        HWND child = GetWindow(window, GW_CHILD);
        while (child != nullptr && OfThisProcess(child)) {
            child = GetWindow(child, GW_HWNDNEXT);
        }
        if (child == nullptr) {
            return;
        }
        ShowWindow(child, SW_HIDE);
        SetParent(child, nullptr);
        if (GetAncestor(child, GA_PARENT) == window) {
            return;  // it would not go; the next check tries again
        }
    }
}

// A visible window of another process lies above `window` somewhere over `area`.
bool UnderForeignWindow(HWND window, const RECT& area) {
    HWND above = GetTopWindow(nullptr);
    for (int i = 0; above != nullptr && above != window && i < kMostWindowsWalked; ++i) {
        RECT theirs{};
        RECT overlap{};
        if (IsWindowVisible(above) && !OfThisProcess(above) && GetWindowRect(above, &theirs) &&
            IntersectRect(&overlap, &theirs, &area)) {
            return true;
        }
        above = GetWindow(above, GW_HWNDNEXT);
    }
    return false;
}

}  // namespace

LockForegroundProc ResolveForegroundLock() {
    HMODULE user = GetModuleHandleA("USER32.DLL");
    if (user == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<LockForegroundProc>(
        reinterpret_cast<void*>(GetProcAddress(user, "LockSetForegroundWindow")));
}

SystemLockWorld::SystemLockWorld() : region_(CreateRectRgn(0, 0, 0, 0)) {}

SystemLockWorld::~SystemLockWorld() {
    if (region_ != nullptr) {
        DeleteObject(region_);
    }
}

LockedWindowFacts SystemLockWorld::Inspect(LockWindowId id) {
    HWND window = WindowOfLockId(id);
    LockedWindowFacts facts;
    facts.parentIsDesktop = GetAncestor(window, GA_PARENT) == GetDesktopWindow();
    facts.hasForeignChild = HasForeignChild(window);
    facts.visible = IsWindowVisible(window) != FALSE;
    facts.minimised = IsIconic(window) != FALSE;
    facts.enabled = IsWindowEnabled(window) != FALSE;
    const LONG_PTR extended = GetWindowLongPtrA(window, GWL_EXSTYLE);
    facts.layeredOrTransparent = (extended & kSeeThrough) != 0;
    facts.topmost = (extended & WS_EX_TOPMOST) != 0;
    // Without a region object of our own to copy into, a region cannot be ruled out.
    facts.hasRegion = region_ == nullptr || GetWindowRgn(window, region_) != ERROR;
    RECT area{};
    GetWindowRect(window, &area);
    facts.area = ScreenRectOf(area);
    facts.underForeignWindow = UnderForeignWindow(window, area);
    return facts;
}

void SystemLockWorld::Repair(const LockedWindow& locked, LockRepairs repairs) {
    HWND window = WindowOfLockId(locked.window);
    if ((repairs & kReparentToDesktop) != 0) {
        SetParent(window, nullptr);
    }
    if ((repairs & kReleaseForeignChildren) != 0) {
        ReleaseForeignChildren(window);
        // The window's own process learns of the change only through a change of its own.
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    if ((repairs & kShow) != 0 && IsIconic(window)) {
        ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    if ((repairs & kEnable) != 0) {
        EnableWindow(window, TRUE);
    }
    if ((repairs & kClearLayering) != 0) {
        SetWindowLongPtrA(window, GWL_EXSTYLE,
                          GetWindowLongPtrA(window, GWL_EXSTYLE) & ~kSeeThrough);
    }
    if ((repairs & kDropRegion) != 0) {
        SetWindowRgn(window, nullptr, TRUE);
    }
    if ((repairs & (kShow | kPlace | kRaise)) != 0) {
        const ScreenRect& monitor = locked.rule.monitor;
        SetWindowPos(window, HWND_TOPMOST, monitor.left, monitor.top, monitor.Width(),
                     monitor.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
    }
}

bool SystemLockWorld::ForegroundIsOurs() {
    HWND foreground = GetForegroundWindow();
    return foreground != nullptr && OfThisProcess(foreground);
}

void SystemLockWorld::TakeForeground(LockWindowId saverWindow) {
    // Our prompt or notice, where one is up, keeps the keys; else the saver window takes them.
    HWND saver = WindowOfLockId(saverWindow);
    HWND target = GetLastActivePopup(saver);
    if (target == nullptr || !IsWindowVisible(target)) {
        target = saver;
    }
    SetForegroundWindow(target);
    // Other programs' SetForegroundWindow calls are refused from here on, until the user's own
    // input lets them through again.
    if (lockForeground != nullptr) {
        lockForeground(kForegroundLock);
    }
}

std::optional<LockRepairs> LockIntegrity::Check(std::span<const LockedWindow> windows) {
    if (checking_) {
        return std::nullopt;
    }
    checking_ = true;
    const LockRepairs repairs = KeepLockWhole(world, windows);
    checking_ = false;
    return repairs;
}

void KeepLockedStyle(WPARAM which, STYLESTRUCT& style) {
    if (static_cast<int>(which) == GWL_EXSTYLE) {
        style.styleNew = style.styleOld & ~static_cast<DWORD>(kSeeThrough);
    } else {
        style.styleNew = style.styleOld;
    }
}

}  // namespace korvane
