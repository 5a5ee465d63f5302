// The saver window: its class, the guard that keeps it over its monitor, and its run.
#include "host/saver_window_windows.h"

#include <exception>
#include <utility>

#include "host/window_cover_windows.h"
#include "resources/resource_ids.h"

namespace korvane {
namespace {

// Another process holds the foreground; our own password prompt may hold it.
bool ForegroundTakenAway() {
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground != nullptr) {
        GetWindowThreadProcessId(foreground, &process);
    }
    return process != GetCurrentProcessId();
}

// The messages that keep a full-screen window shown, topmost and over its monitor. Answers
// the ones it handles; the others go on to the show.
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
                    PostMessageA(window, kCoverAgainRequest, 0, 0);
                }
                KeepCovering(position, framework.coverRect);
            }
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_WINDOWPOSCHANGED:
            // What cannot be refused beforehand (a minimised state) is undone straight after.
            if (guardsScreen && Uncovered(window, framework.coverRect)) {
                PostMessageA(window, kCoverAgainRequest, 0, 0);
            }
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_ACTIVATEAPP:
            if (guardsScreen && wParam == FALSE) {
                PostMessageA(window, kCoverAgainRequest, 0, 0);
            }
            // Losing the activation is also input: it ends a run without a password.
            ApplyInputRules(framework, saver.gate, window, message, wParam);
            return DefWindowProcA(window, message, wParam, lParam);
        case kCoverAgainRequest:
            if (guardsScreen) {
                framework.coverDisturbed |= Uncovered(window, framework.coverRect);
                CoverAgain(window, framework.coverRect, true);
                // Exclusive mode draws only for the foreground window: a refused hide can
                // still have handed the activation to whatever lay below.
                if (ForegroundTakenAway()) {
                    SetForegroundWindow(window);
                }
                if (std::exchange(framework.coverDisturbed, false)) {
                    saver.RestoreShowDisplay(window);
                }
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
    saver.gate.CloseForRun();
    ReleaseFullScreenRun(framework);
    return code;
}

}  // namespace korvane
