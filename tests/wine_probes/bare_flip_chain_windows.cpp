// bare_flip_chain: the smallest full-screen DirectDraw program, for measuring what Wine's flip
// costs by itself and for showing which of the saver's steps a present path does not survive.
//
//   bare_flip_chain [--seconds N] [--lock] [--offscreen] [--dc] [--bltfast] [--palette]
//                   [--realize] [--late-sheet] [--thread]
//
// Always: a topmost window covering the screen, exclusive mode, a primary surface with one
// back buffer, and a Flip every 30 ms until N seconds (default 20) have passed or a key is
// pressed. The switches add the saver's own steps:
//   --lock       clear the back buffer through Lock/Unlock before each flip
//   --offscreen  create a screen-sized offscreen surface and a 640 x 480 one
//   --dc         draw into the small offscreen surface through GetDC/ReleaseDC
//   --bltfast    redraw every 16 x 24 cell of the back buffer from the small surface each
//                frame, with and without a source colour key
//   --palette    in 8-bit modes: attach a palette of 256 greens to the primary surface and
//                fill the back buffer with bands of every index
//   --realize    also select and realise the same colours as a GDI palette in the window's DC
//   --late-sheet lock both pages before the first flip, and only after it load a 640 x 480
//                sheet: an 8-bit DIB section copied through GetDC into a new offscreen surface,
//                then deleted (the order in which a program loads its artwork after its first
//                flip). Wine 8's renderer without OpenGL frees the swap chain's back buffer on
//                every present but keeps presenting through a device context over the freed
//                block; these allocations take that block, and a later Flip reads unmapped
//                memory
//   --thread     lock both pages before the first flip, and after every flip start a thread
//                with the program's default stack size that ends at once, as PlaySoundA with
//                SND_ASYNC does for every sound: its stack can take the freed block too
// Prints "ready" once the first flip is done and, at the end, "frames N" (flips that answered
// DD_OK) and the exit reason. Exit code 0, 1 when DirectDraw could not be set up, or 3 after
// a memory fault (reported as "access violation at ADDRESS after N frames", or under QEMU's
// user mode as "illegal instruction at ...").
#include <windows.h>

#include <ddraw.h>

#include <cstdio>
#include <cstring>

namespace {

struct Options {
    int seconds = 20;
    bool lock = false;
    bool offscreen = false;
    bool dc = false;
    bool bltFast = false;
    bool palette = false;
    bool realize = false;
    bool lateSheet = false;
    bool thread = false;
};

struct Chain {
    IDirectDraw* directDraw = nullptr;
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* back = nullptr;
    IDirectDrawSurface* large = nullptr;
    IDirectDrawSurface* small = nullptr;
    IDirectDrawPalette* palette = nullptr;
    int depth = 0;
    long frames = 0;
    bool readyPrinted = false;
};

Options g_options;
Chain g_chain;

DDSURFACEDESC Description() {
    DDSURFACEDESC description;
    std::memset(&description, 0, sizeof description);
    description.dwSize = sizeof description;
    return description;
}

IDirectDrawSurface* CreateOffscreen(int width, int height) {
    DDSURFACEDESC description = Description();
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    description.dwWidth = static_cast<DWORD>(width);
    description.dwHeight = static_cast<DWORD>(height);
    IDirectDrawSurface* surface = nullptr;
    if (g_chain.directDraw->CreateSurface(&description, &surface, nullptr) != DD_OK) {
        return nullptr;
    }
    return surface;
}

void FillBack(int frame) {
    DDSURFACEDESC description = Description();
    if (g_chain.back->Lock(nullptr, &description, DDLOCK_WAIT, nullptr) != DD_OK) {
        return;
    }
    const int bytes = static_cast<int>(description.ddpfPixelFormat.dwRGBBitCount + 7) / 8;
    auto* pixels = static_cast<unsigned char*>(description.lpSurface);
    for (DWORD y = 0; y < description.dwHeight; ++y) {
        unsigned char* row = pixels + static_cast<ptrdiff_t>(y) * description.lPitch;
        if (g_options.palette && g_chain.depth == 8) {
            for (DWORD x = 0; x < description.dwWidth; ++x) {
                row[x] = static_cast<unsigned char>(x * 256 / description.dwWidth);
            }
        } else {
            std::memset(row, (frame & 1) != 0 ? 0x10 : 0, description.dwWidth * bytes);
        }
    }
    g_chain.back->Unlock(nullptr);
}

void DrawCells(int frame) {
    const int columns = GetSystemMetrics(SM_CXSCREEN) / 16;
    const int cells = columns * (GetSystemMetrics(SM_CYSCREEN) / 24);
    for (int cell = 0; cell < cells; ++cell) {
        RECT source{((cell + frame) % 40) * 16, 0, ((cell + frame) % 40) * 16 + 16, 24};
        const DWORD x = static_cast<DWORD>((cell % columns) * 16);
        const DWORD y = static_cast<DWORD>((cell / columns) * 24);
        g_chain.back->BltFast(x, y, g_chain.small, &source,
                              (cell & 1) != 0 ? DDBLTFAST_SRCCOLORKEY : DDBLTFAST_NOCOLORKEY);
    }
}

// What a program does when it loads its artwork from a bitmap: a DIB section, a surface of
// the same size, a GDI copy between them, and the DIB section deleted again.
void LoadSheetLate() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 640;
    info.bmiHeader.biHeight = 480;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 8;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP sheet = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    g_chain.small = CreateOffscreen(640, 480);
    HDC dc = nullptr;
    if (sheet != nullptr && g_chain.small != nullptr && g_chain.small->GetDC(&dc) == DD_OK) {
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(memory, sheet);
        BitBlt(dc, 0, 0, 640, 480, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        g_chain.small->ReleaseDC(dc);
    }
    if (sheet != nullptr) {
        DeleteObject(sheet);
    }
    std::printf("sheet loaded after the first flip\n");
    std::fflush(stdout);
}

void TouchBothPages() {
    IDirectDrawSurface* pages[] = {g_chain.primary, g_chain.back};
    for (IDirectDrawSurface* page : pages) {
        DDSURFACEDESC description = Description();
        if (page->Lock(nullptr, &description, DDLOCK_WAIT, nullptr) == DD_OK) {
            page->Unlock(nullptr);
        }
    }
}

DWORD WINAPI EndAtOnce(LPVOID) {
    return 0;
}

void StartShortThread() {
    HANDLE thread = CreateThread(nullptr, 0, EndAtOnce, nullptr, 0, nullptr);
    if (thread != nullptr) {
        CloseHandle(thread);
    }
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
    const DWORD code = exception->ExceptionRecord->ExceptionCode;
    // QEMU's i386 user mode hands Wine every memory fault with trap number -1, which Wine
    // raises as an illegal instruction.
    if (code == EXCEPTION_ACCESS_VIOLATION || code == EXCEPTION_ILLEGAL_INSTRUCTION) {
        std::printf("%s at %p after %ld frames\n",
                    code == EXCEPTION_ACCESS_VIOLATION ? "access violation" : "illegal instruction",
                    exception->ExceptionRecord->ExceptionAddress, g_chain.frames);
        std::fflush(stdout);
        ExitProcess(3);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

void Frame(int frame) {
    if (g_options.lock || (g_options.palette && g_chain.depth == 8)) {
        FillBack(frame);
    }
    if (g_options.bltFast && g_chain.small != nullptr) {
        DrawCells(frame);
    }
    if (g_chain.primary->Flip(nullptr, DDFLIP_WAIT) == DD_OK) {
        ++g_chain.frames;
    }
    if (g_options.lateSheet && frame == 0) {
        LoadSheetLate();
    }
    if (g_options.thread) {
        StartShortThread();
    }
    if (!g_chain.readyPrinted) {
        g_chain.readyPrinted = true;
        std::printf("ready\n");
        std::fflush(stdout);
    }
}

bool SetUp(HWND window) {
    if (DirectDrawCreate(nullptr, &g_chain.directDraw, nullptr) != DD_OK ||
        g_chain.directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) !=
            DD_OK) {
        return false;
    }
    DDSURFACEDESC chain = Description();
    chain.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    chain.dwBackBufferCount = 1;
    chain.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    if (g_chain.directDraw->CreateSurface(&chain, &g_chain.primary, nullptr) != DD_OK) {
        return false;
    }
    DDSCAPS backCaps{DDSCAPS_BACKBUFFER};
    if (g_chain.primary->GetAttachedSurface(&backCaps, &g_chain.back) != DD_OK) {
        return false;
    }
    HDC screen = GetDC(nullptr);
    g_chain.depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (g_options.palette && g_chain.depth == 8) {
        PALETTEENTRY entries[256];
        for (int i = 0; i < 256; ++i) {
            entries[i] = {0, static_cast<BYTE>(i), 0, 0};
        }
        if (g_chain.directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries,
                                              &g_chain.palette, nullptr) == DD_OK) {
            g_chain.primary->SetPalette(g_chain.palette);
        }
        if (g_options.realize) {
            struct {
                WORD version;
                WORD count;
                PALETTEENTRY entries[256];
            } logical{0x300, 256, {}};
            for (int i = 0; i < 256; ++i) {
                logical.entries[i] = {0, static_cast<BYTE>(i), 0, PC_NOCOLLAPSE};
            }
            HPALETTE gdiPalette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
            HDC dc = GetDC(window);
            SelectPalette(dc, gdiPalette, FALSE);
            std::printf("realised %u entries\n", RealizePalette(dc));
            ReleaseDC(window, dc);
        }
    }
    if (g_options.lateSheet || g_options.thread) {
        TouchBothPages();
    }
    if ((g_options.offscreen || g_options.dc || g_options.bltFast) && !g_options.lateSheet) {
        g_chain.large =
            CreateOffscreen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        g_chain.small = CreateOffscreen(640, 480);
    }
    if (g_options.dc && g_chain.small != nullptr) {
        HDC dc = nullptr;
        if (g_chain.small->GetDC(&dc) == DD_OK) {
            RECT all{0, 0, 640, 480};
            HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
            FillRect(dc, &all, green);
            DeleteObject(green);
            g_chain.small->ReleaseDC(dc);
        }
    }
    if (g_chain.small != nullptr) {
        DDCOLORKEY key{0, 0};
        g_chain.small->SetColorKey(DDCKEY_SRCBLT, &key);
    }
    return true;
}

void TearDown() {
    IUnknown* objects[] = {g_chain.small,   g_chain.large,   g_chain.back,
                           g_chain.palette, g_chain.primary, g_chain.directDraw};
    for (IUnknown* object : objects) {
        if (object != nullptr) {
            object->Release();
        }
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static int frame = 0;
    switch (message) {
        case WM_TIMER:
            if (wParam == 1) {
                Frame(frame++);
            } else {
                std::printf("time is up\n");
                DestroyWindow(window);
            }
            return 0;
        case WM_KEYDOWN:
            std::printf("key\n");
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            g_options.seconds = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--lock") == 0) {
            g_options.lock = true;
        } else if (std::strcmp(argv[i], "--offscreen") == 0) {
            g_options.offscreen = true;
        } else if (std::strcmp(argv[i], "--dc") == 0) {
            g_options.dc = true;
        } else if (std::strcmp(argv[i], "--bltfast") == 0) {
            g_options.bltFast = true;
        } else if (std::strcmp(argv[i], "--palette") == 0) {
            g_options.palette = true;
        } else if (std::strcmp(argv[i], "--realize") == 0) {
            g_options.realize = true;
        } else if (std::strcmp(argv[i], "--late-sheet") == 0) {
            g_options.lateSheet = true;
        } else if (std::strcmp(argv[i], "--thread") == 0) {
            g_options.thread = true;
        } else {
            std::fprintf(stderr, "bare_flip_chain: unknown argument '%s'\n", argv[i]);
            return 2;
        }
    }
    SetUnhandledExceptionFilter(ReportCrash);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "BareFlipChain";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "Bare Flip Chain",
                                  WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (window == nullptr || !SetUp(window)) {
        std::printf("DirectDraw could not be set up\n");
        TearDown();
        return 1;
    }
    SetTimer(window, 1, 30, nullptr);
    SetTimer(window, 2, static_cast<UINT>(g_options.seconds * 1000), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    std::printf("frames %ld\n", g_chain.frames);
    TearDown();
    return 0;
}
