// The windows over the monitors beside the one that runs the show. They draw their falling
// code into memory at 32 bits per pixel and put it on screen with GDI, which converts it to
// the desktop's depth, and hand every input to the saver window's rules.
#include "host/monitor_covers_windows.h"

#include <exception>
#include <new>
#include <string>

#include "display/gdi_display_windows.h"
#include "host/lock_integrity_windows.h"
#include "host/window_cover_windows.h"
#include "sprites/surface.h"
#include "win32/scoped_handles_windows.h"

namespace korvane {
namespace {

LRESULT CALLBACK MonitorCoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

MonitorCoverWindow* CoverOf(HWND window) {
    return FindOwner<MonitorCoverWindow>(window, reinterpret_cast<const void*>(&MonitorCoverProc));
}

bool IsInput(UINT message) {
    switch (message) {
        case WM_SETCURSOR:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return true;
        default:
            return false;
    }
}

void Paint(HWND window, const MonitorCoverWindow* monitor) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (monitor == nullptr || !PresentPage(dc, monitor->page)) {
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    EndPaint(window, &paint);
}

LRESULT HandleCoverMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MonitorCoverWindow* monitor = CoverOf(window);
    if (monitor == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    const bool guarding = !monitor->set->closing;
    if (IsInput(message)) {
        return monitor->set->input != nullptr
                   ? monitor->set->input->ReactToCoverInput(message, wParam)
                   : 0;
    }
    switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_PAINT:
            Paint(window, monitor);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_WINDOWPOSCHANGING:
            if (guarding) {
                KeepCovering(*reinterpret_cast<WINDOWPOS*>(lParam), ToRect(monitor->cover.area));
                // A new parent is seen here first; nothing else is repaired inside a change.
                if (monitor->set->input != nullptr &&
                    GetAncestor(window, GA_PARENT) != GetDesktopWindow()) {
                    monitor->set->input->CheckLock();
                }
            }
            break;
        case WM_STYLECHANGING:
            if (guarding) {
                KeepLockedStyle(wParam, *reinterpret_cast<STYLESTRUCT*>(lParam));
            }
            return 0;
        case WM_WINDOWPOSCHANGED:
        case WM_STYLECHANGED:
        case WM_ENABLE: {
            // What cannot be refused beforehand is undone at once, by the saver window's check.
            const LRESULT answer = DefWindowProcA(window, message, wParam, lParam);
            if (guarding && monitor->set->input != nullptr) {
                monitor->set->input->CheckLock();
            }
            return answer;
        }
        case WM_SYSCOMMAND:
        case WM_CLOSE:
        case WM_SETTEXT:
            return 0;  // a cover goes only with the saver
        case WM_NCDESTROY:
            ForgetWindow(window);
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK MonitorCoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A C++ exception cannot unwind through the system's dispatch frames. A cover that fails
    // stops drawing and stays black, still over its monitor.
    try {
        return HandleCoverMessage(window, message, wParam, lParam);
    } catch (const std::exception&) {
        if (MonitorCoverWindow* monitor = CoverOf(window)) {
            monitor->rain.reset();
            monitor->page = MemorySurface();
            InvalidateRect(window, nullptr, TRUE);
        }
        return 0;
    }
}

bool RegisterCoverClass(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = MonitorCoverProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kMonitorCoverClassName;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The picture and the rain of one monitor; without memory for them the window stays black.
void GiveMonitorItsRain(MonitorCoverWindow& monitor, MemorySurface& sheet) {
    if (!monitor.cover.HasGrid() || sheet.Empty()) {
        return;
    }
    try {
        monitor.page = MemorySurface(monitor.cover.area.Width(), monitor.cover.area.Height(),
                                     kGdiPageDepth / 8);
        monitor.rain = std::make_unique<MonitorRain>(monitor.cover.cols, monitor.cover.rows,
                                                     monitor.cover.number, monitor.cover.scale);
    } catch (const std::bad_alloc&) {
        monitor.rain.reset();
        monitor.page = MemorySurface();
        return;
    }
    SpriteStrip& strip = monitor.rain->glyphStrip;
    strip.sourceSurface = &sheet;
    strip.targetSurface = &monitor.page;
    strip.SetBltFlags(kBltNoColorKey);
}

// Gives monitor `index` of `others` its cover where it has none yet; false when it still has
// none. Whatever fails here fails for this monitor alone.
bool CoverMonitor(MonitorCovers& covers, const std::vector<MonitorCover>& others, size_t index) {
    try {
        if (covers.monitors.size() < others.size()) {
            covers.monitors.resize(others.size());
        }
        std::unique_ptr<MonitorCoverWindow>& monitor = covers.monitors[index];
        if (monitor == nullptr) {
            monitor = std::make_unique<MonitorCoverWindow>();
            monitor->set = &covers;
            monitor->cover = others[index];
            GiveMonitorItsRain(*monitor, covers.sheets[ClampCellScale(monitor->cover.scale) - 1]);
        }
        if (monitor->window == nullptr) {
            monitor->window = covers.openWindow(*monitor, covers.instance);
            if (monitor->window != nullptr) {
                ShowWindow(monitor->window, SW_SHOWNOACTIVATE);
            }
        }
        return monitor->window != nullptr;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void CoverUncoveredMonitors(MonitorCovers& covers, const std::vector<MonitorCover>& others,
                            DWORD now) {
    covers.lastTry = now;
    covers.uncovered = false;
    for (size_t index = 0; index < others.size(); ++index) {
        covers.uncovered |= !CoverMonitor(covers, others, index);
    }
}

// shcore's GetDpiForMonitor (Windows 8.1 and later); MDT_EFFECTIVE_DPI is type 0.
using GetDpiForMonitorProc = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;

struct MonitorListing {
    std::vector<MonitorArea> monitors;
    GetDpiForMonitorProc dpiForMonitor = nullptr;
};

// From the system folder only, as every library we load by name.
LoadedLibrary LoadShcore() {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH - 16) {
        return LoadedLibrary();
    }
    const std::string path = std::string(folder, length) + "\\shcore.dll";
    return LoadedLibrary(LoadLibraryExA(path.c_str(), nullptr, 0));
}

int32_t DpiOf(HMONITOR monitor, GetDpiForMonitorProc dpiForMonitor) {
    UINT x = 0;
    UINT y = 0;
    if (dpiForMonitor != nullptr && SUCCEEDED(dpiForMonitor(monitor, kEffectiveDpi, &x, &y)) &&
        x > 0 && x < 10000) {
        return static_cast<int32_t>(x);
    }
    return ScreenDpi();
}

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM data) {
    auto& listing = *reinterpret_cast<MonitorListing*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(handle, &info)) {
        const RECT& area = info.rcMonitor;
        listing.monitors.push_back({{area.left, area.top, area.right, area.bottom},
                                    (info.dwFlags & MONITORINFOF_PRIMARY) != 0,
                                    DpiOf(handle, listing.dpiForMonitor)});
    }
    return TRUE;
}

}  // namespace

std::vector<MonitorArea> ListMonitors() {
    const LoadedLibrary shcore = LoadShcore();
    MonitorListing listing;
    listing.dpiForMonitor = shcore.Find<GetDpiForMonitorProc>("GetDpiForMonitor");
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&listing));
    return listing.monitors;
}

int32_t ScreenDpi() {
    const WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
    return dpi > 0 && dpi < 10000 ? dpi : kDesignDpi;
}

ScreenRect PrimaryScreenRect() {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

HWND OpenCoverWindow(MonitorCoverWindow& monitor, HINSTANCE instance) {
    if (!RegisterCoverClass(instance)) {
        return nullptr;
    }
    const ScreenRect& area = monitor.cover.area;
    const PendingWindow promise(monitor, reinterpret_cast<const void*>(&MonitorCoverProc));
    return CreateWindowExA(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW,
                           kMonitorCoverClassName, kMonitorCoverTitle, WS_POPUP | WS_CLIPSIBLINGS,
                           area.left, area.top, area.Width(), area.Height(), nullptr, nullptr,
                           instance, nullptr);
}

void OpenMonitorCovers(MonitorCovers& covers, SaverInput& input, HINSTANCE instance,
                       const std::vector<MonitorCover>& others, const IndexedBitmap* sheet,
                       DWORD now) {
    if (others.empty()) {
        return;
    }
    covers.closing = false;
    covers.input = &input;
    covers.instance = instance;
    // Each factor's sheet once, before any cover: a retry later needs no bitmap.
    for (const MonitorCover& cover : others) {
        MemorySurface& scaled = covers.sheets[ClampCellScale(cover.scale) - 1];
        if (!scaled.Empty() || sheet == nullptr || sheet->width <= 0) {
            continue;
        }
        try {
            scaled = SurfaceFromBitmap(EnlargeBitmap(*sheet, ClampCellScale(cover.scale)),
                                       kGdiPageDepth / 8);
        } catch (const std::bad_alloc&) {
            scaled = MemorySurface();  // the covers of that factor stay black, but they cover
        }
    }
    CoverUncoveredMonitors(covers, others, now);
}

void StepMonitorCovers(MonitorCovers& covers, const std::vector<MonitorCover>& others, DWORD now) {
    if (covers.uncovered && !covers.closing && now - covers.lastTry >= kCoverRetryMilliseconds) {
        CoverUncoveredMonitors(covers, others, now);
    }
    for (const auto& monitor : covers.monitors) {
        if (monitor == nullptr || monitor->window == nullptr || monitor->rain == nullptr) {
            continue;
        }
        monitor->rain->Frame();
        const WindowDc dc(monitor->window);
        PresentPage(dc.get(), monitor->page);
    }
}

void CloseMonitorCovers(MonitorCovers& covers) {
    covers.closing = true;
    covers.uncovered = false;
    for (const auto& monitor : covers.monitors) {
        if (monitor != nullptr && monitor->window != nullptr) {
            DestroyWindow(monitor->window);
        }
    }
    covers.monitors.clear();
}

}  // namespace korvane
