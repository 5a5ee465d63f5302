// The saver window: its class, the guard that keeps it over its monitor, and its run.
#include "host/saver_window_windows.h"

#include <array>
#include <exception>
#include <utility>

#include "host/window_cover_windows.h"
#include "resources/resource_ids.h"

namespace korvane {
namespace {

// The messages that keep a full-screen window shown, topmost, whole and over its monitor.
// Answers the ones it handles; the others go on to the show.
std::optional<LRESULT> GuardSaverWindow(SaverWindow& saver, HWND window, UINT message,
                                        WPARAM wParam, LPARAM lParam) {
    SaverFramework& framework = saver.framework;
    const bool guardsScreen = !framework.previewMode && !framework.destroyStarted;
    switch (message) {
        case WM_WINDOWPOSCHANGING:
            if (guardsScreen) {
                auto& position = *reinterpret_cast<WINDOWPOS*>(lParam);
                if ((position.flags & SWP_HIDEWINDOW) != 0) {
                    // Refused, but the attempt can leave exclusive mode drawing nowhere
                    // (seen under Wine: a black screen); the display is set up afresh.
                    framework.coverDisturbed = true;
                }
                KeepCovering(position, framework.coverRect);
                // A new parent is seen here first: the change that follows a SetParent may
                // come to nothing and bring no WM_WINDOWPOSCHANGED (seen under Wine). Nothing
                // else is repaired inside a change still under way.
                if (GetAncestor(window, GA_PARENT) != GetDesktopWindow()) {
                    saver.window.activationLetGo = false;  // the SetParent's hide is over
                    saver.CheckLock();
                }
            }
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_STYLECHANGING:
            if (guardsScreen) {
                KeepLockedStyle(wParam, *reinterpret_cast<STYLESTRUCT*>(lParam));
            }
            return 0;
        case WM_WINDOWPOSCHANGED:
        case WM_STYLECHANGED:
        case WM_ENABLE: {
            // What cannot be refused beforehand (a minimised state, a region, a new parent) is
            // undone at once, where it is seen.
            const LRESULT answer = DefWindowProcA(window, message, wParam, lParam);
            if (guardsScreen) {
                saver.CheckLock();
            }
            return answer;
        }
        case WM_ACTIVATEAPP:
            if (guardsScreen && wParam == FALSE) {
                saver.CheckLock();  // the foreground comes back at once
            }
            // Losing the activation is also input: it ends a run without a password.
            ApplyInputRules(framework, saver.gate, window, message, wParam);
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_TIMER:
            if (wParam != kLockCheckTimer) {
                return std::nullopt;  // the frame timer is the show's
            }
            if (guardsScreen) {
                saver.window.activationLetGo = false;  // a timer message comes once a hide is over
                saver.CheckLock();
            }
            return 0;
        case WM_SETTEXT:
            return 0;
        default:
            return std::nullopt;
    }
}

}  // namespace

LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SaverWindow* saver =
        FindOwner<SaverWindow>(window, reinterpret_cast<const void*>(&SaverClassProc));
    if (saver == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // A C++ exception cannot unwind through the system's dispatch frames; it ends here. The
    // window and its password gate stay, and the show drops to a black screen.
    try {
        if (const std::optional<LRESULT> answer =
                GuardSaverWindow(*saver, window, message, wParam, lParam)) {
            return *answer;
        }
        return ShowSaverProc(*saver, window, message, wParam, lParam);
    } catch (const std::exception&) {
        saver->DropShowAfterFailure(window);
        return 0;
    }
}

void SaverWindow::CheckLock() {
    HWND saverWindow = window.saverWindow;
    // Within a hide nothing is repaired: the activation would be handed on with it.
    if (framework.previewMode || framework.destroyStarted || !window.fullScreenRunStarted ||
        saverWindow == nullptr || window.activationLetGo) {
        return;
    }
    std::array<LockedWindow, kWindowTableCapacity> windows{};
    size_t count = 0;
    // Our own prompt, and the set-up's notices, disable the saver window that owns them.
    windows[count++] = {
        LockIdOf(saverWindow),
        {ScreenRectOf(framework.coverRect), gate.PromptUp() || binding.settingUpDisplay}};
    if (!covers.closing) {
        for (const auto& monitor : covers.monitors) {
            if (count < windows.size() && IsWindow(monitor->window)) {
                windows[count++] = {LockIdOf(monitor->window), {monitor->cover.area, false}};
            }
        }
    }
    const std::optional<LockRepairs> checked = lock.Check({windows.data(), count});
    if (!checked) {
        return;  // a repair's own message: the check under way goes on
    }
    const LockRepairs repairs = *checked;
    gate.running.Reassert();
    // A window that was moved, hidden or minimised, or that held another's child, may have
    // left exclusive mode drawing nowhere (seen under Wine: the show stood still). The display
    // is set up afresh at the first check that finds the lock whole again, with the
    // foreground ours and no set-up or prompt under way: exclusive mode draws only for the
    // foreground window, and Wine's minimises one that loses it, so a set-up amid changes
    // would only be undone again.
    if ((repairs & (kReparentToDesktop | kReleaseForeignChildren | kShow | kPlace)) != 0) {
        framework.coverDisturbed = true;
    } else if (framework.coverDisturbed && !binding.settingUpDisplay && !gate.PromptUp() &&
               lock.world.ForegroundIsOurs()) {
        framework.coverDisturbed = false;
        RestoreShowDisplay(saverWindow);
    }
}

bool RegisterSaverClass(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    windowClass.lpfnWndProc = SaverClassProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(KORVANE_ICON));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kSaverClassName;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateSaverWindow(SaverWindow& saver, HWND parent, const RECT& area, const char* title) {
    const bool preview = parent != nullptr;
    const DWORD style = preview ? WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN
                                : WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    const PendingWindow promise(saver, reinterpret_cast<const void*>(&SaverClassProc));
    return CreateWindowExA(preview ? 0 : WS_EX_TOPMOST, kSaverClassName, title, style, area.left,
                           area.top, area.right - area.left, area.bottom - area.top, parent,
                           nullptr, saver.framework.saverInstance, nullptr);
}

int RunSaverWindow(SaverWindow& saver, HWND parent) {
    SaverFramework& framework = saver.framework;
    RECT area{};
    const char* title = kPreviewTitle;
    framework.previewMode = parent != nullptr;
    if (framework.previewMode) {
        GetClientRect(parent, &area);
    } else {
        // The saver window covers the primary monitor; every other monitor gets a cover of
        // its own once the run starts.
        // Their factors follow the glyph size once the settings are read.
        const MonitorPlan plan = PlanMonitorCovers(framework.listMonitors(), PrimaryScreenRect(),
                                                   kAutomaticGlyphScale, ScreenDpi());
        area = ToRect(plan.primary.area);
        framework.primaryDpi = plan.primary.dpi;
        framework.otherMonitors = plan.others;
        framework.coverRect = area;
        title = kFullScreenTitle;
        if (!TakeFullScreenRun(framework)) {
            return 0;
        }
        saver.gate.OpenForRun(framework.onWindows9x, framework.ownsFullScreenRun);
        // Before the first window, so that no forgery queued for it is ever dispatched. A hook
        // that cannot be set does not stop the lock.
        saver.filter.Install();
    }
    framework.autoPlayMessage =
        framework.onWindows9x ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

    HWND window = nullptr;
    if (RegisterSaverClass(framework.saverInstance)) {
        window = CreateSaverWindow(saver, parent, area, title);
    }
    int code = -1;
    if (window != nullptr) {
        if (!framework.previewMode) {
            SetForegroundWindow(window);
        }
        code = RunSaverMessages(framework, window);
    }
    saver.filter.Remove();
    saver.gate.CloseForRun();
    ReleaseFullScreenRun(framework);
    return code;
}

}  // namespace korvane
