// What the lock's end-to-end tests do from another process:
//   backdrop <ready file> <seconds> [white|magenta X Y W H]
//                                    a window over the primary screen (or that rectangle of the
//                                    virtual screen), not topmost, as the user's work under the
//                                    saver: magenta by default (no glyph is magenta at any
//                                    depth); writes the ready file once it is shown.
//   monitors                         prints what Windows reports of the monitors, a line each,
//                                    "monitor LEFT TOP RIGHT BOTTOM primary|secondary", then
//                                    "virtual X Y W H", "screen W H", "mode W H BITS" (the
//                                    primary's display mode) and "desktop-clip L T R B"
//                                    (GetDC(NULL)'s clip box).
//   message-box <title>              answers the message box of that caption with OK, after
//                                    printing its text ("text ...") and its owner ("owner
//                                    CLASS TITLE", or "owner none"); exit 1 when there is none.
//   windows                          prints every visible saver and monitor cover window,
//                                    "saver|cover LEFT TOP RIGHT BOTTOM topmost|not-topmost".
//   parent <number file> <seconds> <width> <height>
//                                    a preview parent of that client size; writes its window
//                                    number once it exists and closes itself after the time.
//   close-parent                     asks the preview parent to close.
//   probe-preview <parent> <width> <height>
//                                    exit 0 when the parent's "Preview" child has that client
//                                    size and the child's process shows no top-level window.
//   forge <what> [saver|cover] [seconds]
//                                    does to the full-screen saver's window (or the first
//                                    monitor cover's) what the lock must survive: quit, destroy,
//                                    post-destroy, ncdestroy, setup, hide, minimize, move,
//                                    timer-proc, thread-timer-proc, systimer-proc (ExitProcess
//                                    posted as a timer procedure), region (an empty window
//                                    region), parent (the window moved into a hidden window of
//                                    ours), adopt (a magenta window of ours made its child),
//                                    layered (layered, transparent and see-through), style
//                                    (hidden, disabled and minimised by its style), disable,
//                                    foreground (a hidden window of ours takes the foreground),
//                                    post-showwindow, send-showwindow. What needs a window of
//                                    ours holds it that many seconds (default 3).
//   whole                            exit 0 when every saver and cover window is whole: its
//                                    parent the desktop, no child of another process, visible,
//                                    enabled, neither layered nor transparent, no region, its
//                                    monitor's rectangle, topmost, under no window of another
//                                    process, and its process holding the foreground; else
//                                    prints what is wrong.
//   squat <mutex|event|hidden-window|window> <ready file> <seconds>
//                                    holds what a start might take for a running saver: the
//                                    claim's name as a mutex or as an event, a hidden window of
//                                    the saver's class and title, or a visible topmost one;
//                                    writes the ready file once it holds it.
//   install-verifier <file>          copies the stand-in verifier to the system directory as
//                                    PASSWORD.CPL (the folder GetSystemDirectoryA names).
//   remove-verifier                  deletes it from there.
//   count-savers                     prints how many full-screen saver windows exist.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace {

constexpr char kSaverClass[] = "WindowsScreenSaverClass";
constexpr char kCoverClass[] = "KorvaneMonitorCover";
constexpr UINT kSetUpDisplayRequest = WM_APP + 1;
constexpr UINT kSystemTimer = 0x0118;
constexpr char kClaimName[] = "KorvaneFullScreenSaverRun";

LRESULT CALLBACK ClosingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (message == WM_TIMER) {
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void WriteLine(const char* path, unsigned long long value) {
    if (FILE* out = std::fopen(path, "w")) {
        std::fprintf(out, "%llu\n", value);
        std::fclose(out);
    }
}

// A window class of this helper's, painted in one colour.
WNDCLASSA RegisterPlainClass(const char* className, WNDPROC procedure, COLORREF colour) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = CreateSolidBrush(colour);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return windowClass;
}

int RunWindow(const char* className, const char* title, DWORD style, RECT area, int seconds,
              const char* readyFile, COLORREF colour = RGB(255, 0, 255)) {
    const WNDCLASSA windowClass = RegisterPlainClass(className, ClosingProc, colour);
    // The client area gets exactly the size asked for.
    AdjustWindowRect(&area, style, FALSE);
    HWND window =
        CreateWindowExA(0, className, title, style, area.left, area.top, area.right - area.left,
                        area.bottom - area.top, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) {
        return 3;
    }
    UpdateWindow(window);
    SetTimer(window, 1, static_cast<UINT>(seconds * 1000), nullptr);
    WriteLine(readyFile, static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

HWND WindowFromText(const char* text) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(text, nullptr, 10)));
}

struct TopLevelSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindVisibleTopLevel(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TopLevelSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

int ProbePreview(const char* parentText, int width, int height) {
    HWND parent = WindowFromText(parentText);
    HWND child = FindWindowExA(parent, nullptr, kSaverClass, "Preview");
    if (child == nullptr) {
        std::printf("no Preview child in the parent\n");
        return 1;
    }
    RECT area{};
    GetClientRect(child, &area);
    if (area.right != width || area.bottom != height) {
        std::printf("the Preview child is %ldx%ld, its parent %dx%d\n", area.right, area.bottom,
                    width, height);
        return 1;
    }
    TopLevelSearch search{0, nullptr};
    GetWindowThreadProcessId(child, &search.process);
    EnumWindows(FindVisibleTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
        char title[128] = "";
        char className[128] = "";
        GetWindowTextA(search.found, title, sizeof title);
        GetClassNameA(search.found, className, sizeof className);
        std::printf("the preview's process shows a top-level window '%s' of class %s\n", title,
                    className);
        return 1;
    }
    return 0;
}

// A window of this helper's own, not shown until asked.
HWND MakeOwnWindow(const char* className, const char* title, DWORD exStyle, const RECT& area,
                   COLORREF colour) {
    const WNDCLASSA windowClass = RegisterPlainClass(className, DefWindowProcA, colour);
    return CreateWindowExA(exStyle, className, title, WS_POPUP, area.left, area.top,
                           area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

// Keeps this process, and with it the windows it made, alive for that long.
void Hold(int seconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(seconds) * 1000) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

LPARAM ExitProcessAddress() {
    return reinterpret_cast<LPARAM>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "ExitProcess")));
}

bool Is(const char* what, const char* name) {
    return std::strcmp(what, name) == 0;
}

int Forge(const char* what, const char* which, int seconds) {
    const bool cover = std::strcmp(which, "cover") == 0;
    HWND saver =
        cover ? FindWindowA(kCoverClass, nullptr) : FindWindowA(kSaverClass, "Screen Saver");
    if (saver == nullptr) {
        std::printf("no %s window\n", cover ? "monitor cover" : "full-screen saver");
        return 1;
    }
    DWORD_PTR answer = 0;
    const auto send = [&](UINT message, WPARAM wParam = 0) {
        SendMessageTimeoutA(saver, message, wParam, 0, SMTO_NORMAL, 5000, &answer);
    };
    const DWORD thread = GetWindowThreadProcessId(saver, nullptr);
    if (Is(what, "quit")) {
        return PostThreadMessageA(thread, WM_QUIT, 0, 0) ? 0 : 1;
    }
    if (Is(what, "destroy")) {
        send(WM_DESTROY);
    } else if (Is(what, "post-destroy")) {
        PostMessageA(saver, WM_DESTROY, 0, 0);
    } else if (Is(what, "ncdestroy")) {
        send(WM_NCDESTROY);
    } else if (Is(what, "setup")) {
        send(kSetUpDisplayRequest);
    } else if (Is(what, "hide")) {
        ShowWindow(saver, SW_HIDE);
    } else if (Is(what, "minimize")) {
        ShowWindow(saver, SW_MINIMIZE);
    } else if (Is(what, "move")) {
        SetWindowPos(saver, HWND_NOTOPMOST, 200, 150, 300, 200, SWP_NOACTIVATE);
    } else if (Is(what, "timer-proc")) {
        PostMessageA(saver, WM_TIMER, 1, ExitProcessAddress());
    } else if (Is(what, "thread-timer-proc")) {
        PostThreadMessageA(thread, WM_TIMER, 1, ExitProcessAddress());
    } else if (Is(what, "systimer-proc")) {
        PostMessageA(saver, kSystemTimer, 1, ExitProcessAddress());
    } else if (Is(what, "region")) {
        SetWindowRgn(saver, CreateRectRgn(0, 0, 0, 0), TRUE);
    } else if (Is(what, "parent")) {
        HWND box = MakeOwnWindow("KorvaneParentBox", "", 0, {0, 0, 1, 1}, RGB(255, 0, 255));
        SetParent(saver, box);
        Hold(seconds);
    } else if (Is(what, "adopt")) {
        RECT area{};
        GetClientRect(saver, &area);
        // A visible child before it moves in, in one step: shown afterwards, a window the saver
        // had already released would be shown as a window of its own.
        HWND child = MakeOwnWindow("KorvaneAdopted", "", 0, area, RGB(255, 0, 255));
        SetWindowLongPtrA(child, GWL_STYLE, WS_CHILD | WS_VISIBLE);
        SetParent(child, saver);
        Hold(seconds);
    } else if (Is(what, "layered")) {
        SetWindowLongPtrA(
            saver, GWL_EXSTYLE,
            GetWindowLongPtrA(saver, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TRANSPARENT);
        SetLayeredWindowAttributes(saver, 0, 0, LWA_ALPHA);
    } else if (Is(what, "style")) {
        SetWindowLongPtrA(
            saver, GWL_STYLE,
            (GetWindowLongPtrA(saver, GWL_STYLE) & ~WS_VISIBLE) | WS_DISABLED | WS_MINIMIZE);
    } else if (Is(what, "disable")) {
        EnableWindow(saver, FALSE);
    } else if (Is(what, "foreground")) {
        HWND hidden = MakeOwnWindow("KorvaneHiddenFocus", "", 0, {0, 0, 1, 1}, RGB(255, 0, 255));
        SetForegroundWindow(hidden);
        Hold(seconds);
    } else if (Is(what, "post-showwindow")) {
        PostMessageA(saver, WM_SHOWWINDOW, FALSE, 0);
    } else if (Is(what, "send-showwindow")) {
        send(WM_SHOWWINDOW, FALSE);
    } else {
        std::printf("unknown forgery %s\n", what);
        return 2;
    }
    return 0;
}

// --- Whether the lock's windows are whole, seen from another process.

bool OfProcess(HWND window, DWORD process) {
    DWORD theirs = 0;
    GetWindowThreadProcessId(window, &theirs);
    return theirs == process;
}

RECT MonitorOf(HWND window, bool saver) {
    if (saver) {
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcMonitor;
}

// What is wrong with one window of the lock, a line each.
int ReportBreaches(HWND window, const char* kind) {
    int breaches = 0;
    const auto breach = [&](const char* what) {
        std::printf("%s %p: %s\n", kind, static_cast<void*>(window), what);
        ++breaches;
    };
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (GetAncestor(window, GA_PARENT) != GetDesktopWindow()) {
        breach("its parent is not the desktop");
    }
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (!OfProcess(child, process)) {
            breach("a window of another process is its child");
        }
    }
    if (!IsWindowVisible(window)) {
        breach("hidden");
    }
    if (IsIconic(window)) {
        breach("minimised");
    }
    if (!IsWindowEnabled(window)) {
        breach("disabled");
    }
    const LONG_PTR extended = GetWindowLongPtrA(window, GWL_EXSTYLE);
    if ((extended & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) != 0) {
        breach("layered or transparent");
    }
    if ((extended & WS_EX_TOPMOST) == 0) {
        breach("not topmost");
    }
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window, region) != ERROR) {
        breach("it has a window region");
    }
    DeleteObject(region);
    RECT area{};
    GetWindowRect(window, &area);
    const RECT monitor = MonitorOf(window, std::strcmp(kind, "saver") == 0);
    if (!EqualRect(&area, &monitor)) {
        std::printf("%s %p: at %ld %ld %ld %ld, its monitor is %ld %ld %ld %ld\n", kind,
                    static_cast<void*>(window), area.left, area.top, area.right, area.bottom,
                    monitor.left, monitor.top, monitor.right, monitor.bottom);
        ++breaches;
    }
    for (HWND above = GetTopWindow(nullptr); above != nullptr && above != window;
         above = GetWindow(above, GW_HWNDNEXT)) {
        RECT theirs{};
        RECT overlap{};
        if (IsWindowVisible(above) && !OfProcess(above, process) && GetWindowRect(above, &theirs) &&
            IntersectRect(&overlap, &theirs, &area)) {
            breach("a window of another process lies above it");
            break;
        }
    }
    HWND foreground = GetForegroundWindow();
    if (foreground == nullptr || !OfProcess(foreground, process)) {
        breach("another process holds the foreground");
    }
    return breaches;
}

int ReportWhole() {
    int windows = 0;
    int breaches = 0;
    for (const auto& [className, kind] :
         {std::pair{kSaverClass, "saver"}, std::pair{kCoverClass, "cover"}}) {
        for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window != nullptr;
             window = FindWindowExA(nullptr, window, className, nullptr)) {
            ++windows;
            breaches += ReportBreaches(window, kind);
        }
    }
    // A saver moved into another window is no longer a top-level window at all.
    if (windows == 0 || FindWindowA(kSaverClass, "Screen Saver") == nullptr) {
        std::printf("no top-level full-screen saver window\n");
        return 1;
    }
    return breaches == 0 ? 0 : 1;
}

// --- What a start might take for a running saver.

int Squat(const char* what, const char* readyFile, int seconds) {
    HANDLE object = nullptr;
    HWND window = nullptr;
    if (Is(what, "mutex")) {
        object = CreateMutexA(nullptr, TRUE, kClaimName);
    } else if (Is(what, "event")) {
        object = CreateEventA(nullptr, TRUE, FALSE, kClaimName);
    } else if (Is(what, "hidden-window")) {
        window =
            MakeOwnWindow(kSaverClass, "Screen Saver", WS_EX_TOPMOST, {0, 0, 64, 64}, RGB(0, 0, 0));
    } else if (Is(what, "window")) {
        window =
            MakeOwnWindow(kSaverClass, "Screen Saver", WS_EX_TOPMOST, {0, 0, 64, 64}, RGB(0, 0, 0));
        ShowWindow(window, SW_SHOWNOACTIVATE);
    } else {
        std::fprintf(stderr, "squat: mutex, event, hidden-window or window\n");
        return 2;
    }
    if (object == nullptr && window == nullptr) {
        std::printf("squat %s: could not be made\n", what);
        return 1;
    }
    WriteLine(readyFile, 1);
    Hold(seconds);
    return 0;
}

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) {
        std::printf("monitor ? (GetMonitorInfo failed)\n");
        return TRUE;
    }
    const RECT& r = info.rcMonitor;
    std::printf("monitor %ld %ld %ld %ld %s\n", r.left, r.top, r.right, r.bottom,
                (info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? "primary" : "secondary");
    return TRUE;
}

int PrintMonitors() {
    if (!EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0)) {
        std::printf("EnumDisplayMonitors failed\n");
        return 1;
    }
    std::printf("virtual %d %d %d %d\n", GetSystemMetrics(SM_XVIRTUALSCREEN),
                GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
                GetSystemMetrics(SM_CYVIRTUALSCREEN));
    std::printf("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) {
        std::printf("mode %lu %lu %lu\n", mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel);
    }
    HDC desktop = GetDC(nullptr);
    RECT clip{};
    GetClipBox(desktop, &clip);
    ReleaseDC(nullptr, desktop);
    std::printf("desktop-clip %ld %ld %ld %ld\n", clip.left, clip.top, clip.right, clip.bottom);
    return 0;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM) {
    if (!IsWindowVisible(window)) {
        return TRUE;
    }
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    const char* kind = std::strcmp(className, kSaverClass) == 0   ? "saver"
                       : std::strcmp(className, kCoverClass) == 0 ? "cover"
                                                                  : nullptr;
    if (kind != nullptr) {
        RECT r{};
        GetWindowRect(window, &r);
        const bool topmost = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        std::printf("%s %ld %ld %ld %ld %s\n", kind, r.left, r.top, r.right, r.bottom,
                    topmost ? "topmost" : "not-topmost");
    }
    return TRUE;
}

int AnswerMessageBox(const char* title) {
    HWND box = FindWindowA("#32770", title);
    if (box == nullptr) {
        std::printf("no message box '%s'\n", title);
        return 1;
    }
    char text[256] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::printf("text %s\n", text);
    HWND owner = GetWindow(box, GW_OWNER);
    if (owner == nullptr) {
        std::printf("owner none\n");
    } else {
        char ownerClass[128] = "";
        char ownerTitle[128] = "";
        GetClassNameA(owner, ownerClass, sizeof ownerClass);
        GetWindowTextA(owner, ownerTitle, sizeof ownerTitle);
        std::printf("owner %s %s\n", ownerClass, ownerTitle);
    }
    std::fflush(stdout);
    // What a click on OK sends; a posted message needs no cooperation from our side.
    return PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)))
               ? 0
               : 1;
}

std::string SystemVerifierPath() {
    char folder[MAX_PATH];
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\PASSWORD.CPL";
}

BOOL CALLBACK CountSaver(HWND window, LPARAM count) {
    char className[64] = "";
    char title[64] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (std::strcmp(className, kSaverClass) == 0 && std::strcmp(title, "Screen Saver") == 0) {
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

// Counted over one list of the windows: a search window by window can miss one that moves in
// the z-order meanwhile.
int CountSavers() {
    int count = 0;
    EnumWindows(CountSaver, reinterpret_cast<LPARAM>(&count));
    std::printf("%d\n", count);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "backdrop") == 0) {
        const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return RunWindow("KorvaneWhiteCover", "White Cover", WS_POPUP | WS_VISIBLE, screen,
                         std::atoi(argv[3]), argv[2]);
    }
    if (argc == 9 && std::strcmp(argv[1], "backdrop") == 0) {
        const bool white = std::strcmp(argv[4], "white") == 0;
        if (!white && std::strcmp(argv[4], "magenta") != 0) {
            std::fprintf(stderr, "backdrop: the colour is white or magenta\n");
            return 2;
        }
        const int left = std::atoi(argv[5]);
        const int top = std::atoi(argv[6]);
        const RECT area{left, top, left + std::atoi(argv[7]), top + std::atoi(argv[8])};
        return RunWindow("KorvaneWhiteCover", "White Cover", WS_POPUP | WS_VISIBLE, area,
                         std::atoi(argv[3]), argv[2],
                         white ? RGB(255, 255, 255) : RGB(255, 0, 255));
    }
    if (argc >= 2 && std::strcmp(argv[1], "monitors") == 0) {
        return PrintMonitors();
    }
    if (argc >= 3 && std::strcmp(argv[1], "message-box") == 0) {
        return AnswerMessageBox(argv[2]);
    }
    if (argc >= 2 && std::strcmp(argv[1], "windows") == 0) {
        return EnumWindows(PrintWindow, 0) ? 0 : 1;
    }
    if (argc >= 6 && std::strcmp(argv[1], "parent") == 0) {
        const RECT area{10, 10, 10 + std::atoi(argv[4]), 10 + std::atoi(argv[5])};
        return RunWindow("KorvanePreviewParent", "Preview Parent", WS_POPUP | WS_VISIBLE, area,
                         std::atoi(argv[3]), argv[2]);
    }
    if (argc >= 2 && std::strcmp(argv[1], "close-parent") == 0) {
        HWND parent = FindWindowA("KorvanePreviewParent", "Preview Parent");
        return parent != nullptr && PostMessageA(parent, WM_TIMER, 1, 0) ? 0 : 1;
    }
    if (argc >= 5 && std::strcmp(argv[1], "probe-preview") == 0) {
        return ProbePreview(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    }
    if (argc >= 3 && std::strcmp(argv[1], "forge") == 0) {
        return Forge(argv[2], argc >= 4 ? argv[3] : "saver", argc >= 5 ? std::atoi(argv[4]) : 3);
    }
    if (argc >= 2 && std::strcmp(argv[1], "whole") == 0) {
        return ReportWhole();
    }
    if (argc >= 5 && std::strcmp(argv[1], "squat") == 0) {
        return Squat(argv[2], argv[3], std::atoi(argv[4]));
    }
    if (argc >= 3 && std::strcmp(argv[1], "install-verifier") == 0) {
        if (!CopyFileA(argv[2], SystemVerifierPath().c_str(), FALSE)) {
            std::printf("cannot copy %s to %s\n", argv[2], SystemVerifierPath().c_str());
            return 1;
        }
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "remove-verifier") == 0) {
        DeleteFileA(SystemVerifierPath().c_str());
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "count-savers") == 0) {
        return CountSavers();
    }
    std::fprintf(
        stderr,
        "usage: lock_helper backdrop|parent|close-parent|probe-preview|forge|whole|squat|"
        "install-verifier|remove-verifier|count-savers|monitors|message-box|windows ...\n");
    return 2;
}
