// korvane-x11: the show in an X11 window, as screen-saver managers run their programs.
// Draws with the simulator's memory pages and presents each finished page with MIT-SHM.
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "display/indexed_bitmap.h"
#include "show/frame_tick.h"
#include "x11/display_connection.h"
#include "x11/frame_pacer.h"
#include "x11/glyph_sheet.h"
#include "x11/image_presenter.h"
#include "x11/pixel_format.h"
#include "x11/screen_dpi.h"
#include "x11/show_run.h"
#include "x11/target_window.h"
#include "x11/x11_options.h"
#include "x11/x_errors.h"
#include "x11/xft_dpi_resource.h"

namespace korvane {
namespace {

constexpr int kEnded = 0;
constexpr int kFailed = 1;
constexpr int kBadArguments = 2;
constexpr int64_t kFramePeriod = int64_t{kFrameMilliseconds} * 1'000'000;  // ns

// What --help prints; the manual page says the same at more length.
std::string Usage() {
    return std::string(
               "usage: korvane-x11 [-root | -window-id ID | -geometry WxH] [-display "
               "HOST:DISPLAY]\n"
               "                   [--scale N|auto] [show options] [--frames N] [--stats]\n"
               "       korvane-x11 --help | --version\n"
               "The Korvane show in an X11 window, as screen-saver managers run their programs.\n"
               "\n"
               "  -root                  draw on the root window, or on the window a saver\n"
               "                         manager names in XSCREENSAVER_WINDOW\n"
               "  -window-id ID          draw into window ID, decimal or 0x hexadecimal\n"
               "  -geometry WxH          the size of a window of our own (default 1024x768)\n"
               "  -display HOST:DISPLAY  the X server (default $DISPLAY)\n"
               "  --scale N|auto         cells of 16N x 24N pixels, the glyphs enlarged N times\n"
               "                         (1 to 4); auto, the default, follows the X resource\n"
               "                         Xft.dpi (192 gives 2) and is 1 where it is not set\n") +
           std::string(kShowSwitchesUsage) +
           "  --frames N             stop after N frames and keep frame N-1 on screen\n"
           "  --stats                at exit, write frames presented, deadlines missed and\n"
           "                         the shared-memory segment to standard error\n"
           "  --help                 this text\n"
           "  --version              the version\n"
           "\n"
           "Exit status: 0 when ended, 1 when the window or its picture cannot be made, 2 for\n"
           "bad arguments.\n";
}

int64_t MonotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// What --stats reports. Kept where the connection-lost handler can reach it.
struct RunStats {
    bool wanted = false;
    int64_t presented = 0;
    int64_t missed = 0;
    int shmId = -1;
};
RunStats gStats;

void PrintStats() {
    if (!gStats.wanted) {
        return;
    }
    if (gStats.shmId >= 0) {
        std::fprintf(stderr,
                     "korvane-x11: frames presented %lld, deadlines missed %lld, "
                     "shared-memory segment %d\n",
                     static_cast<long long>(gStats.presented),
                     static_cast<long long>(gStats.missed), gStats.shmId);
    } else {
        std::fprintf(stderr,
                     "korvane-x11: frames presented %lld, deadlines missed %lld, "
                     "shared-memory segment none\n",
                     static_cast<long long>(gStats.presented),
                     static_cast<long long>(gStats.missed));
    }
}

// The display went away: nothing is left to draw into. The segment was marked for removal
// when it was attached, so leaving is all the clean-up there is.
int DisplayClosed(Display*) {
    std::fprintf(stderr, "korvane-x11: the display closed\n");
    PrintStats();
    std::fflush(stderr);
    _exit(kEnded);
}

// SIGTERM and SIGINT arrive as readable data, so the loop ends them between frames.
int OpenSignalFd() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    return signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
}

// Waits for X events, a signal or `timeout` ns (negative: no limit). True when a signal came.
bool WaitForSomething(int xFd, int signalFd, int64_t timeout) {
    pollfd fds[2] = {{xFd, POLLIN, 0}, {signalFd, POLLIN, 0}};
    timespec wait{timeout / 1'000'000'000, timeout % 1'000'000'000};
    ppoll(fds, 2, timeout < 0 ? nullptr : &wait, nullptr);
    return (fds[1].revents & POLLIN) != 0;
}

// Makes the run and its presenter for the window's current size.
struct Stage {
    std::unique_ptr<ShowRun> run;
    std::unique_ptr<ImagePresenter> presenter;
};

bool BuildStage(Display* display, const TargetWindow& target, const PixelConversion& conversion,
                const X11Options& options, const IndexedBitmap& sheet, int32_t cellScale,
                Stage& stage) {
    stage.presenter.reset();
    stage.run = std::make_unique<ShowRun>(options, sheet, target.width, target.height, cellScale);
    stage.presenter =
        std::make_unique<ImagePresenter>(display, target.window, target.visual, target.depth,
                                         conversion, target.width, target.height);
    gStats.shmId = stage.presenter->shmId();
    if (!stage.presenter->Ready()) {
        return false;
    }
    // The black pages, as the show starts. The first picture costs the server far more than a
    // frame (it maps the segment), so it is shown before the clock starts, not in frame 0's slot.
    stage.presenter->Present(stage.run->backBuffer());
    return true;
}

// True when the window is gone: a destroyed window answers every request with an error.
bool WindowGone(Display* display, Window window, int& errorsSeen) {
    if (RecordedXErrors().count == errorsSeen) {
        return false;
    }
    XWindowAttributes attributes;
    const bool gone = XGetWindowAttributes(display, window, &attributes) == 0;
    errorsSeen = RecordedXErrors().count;
    return gone;
}

int Run(const X11Options& options) {
    IndexedBitmap sheet;
    if (!DecodeBitmapFile(kGlyphSheetFile, kGlyphSheetFileSize, sheet)) {
        std::fprintf(stderr, "korvane-x11: the built-in glyph sheet does not decode\n");
        return kFailed;
    }
    const DisplayConnection connection(
        XOpenDisplay(options.displayName.empty() ? nullptr : options.displayName.c_str()));
    Display* display = connection.get();
    if (display == nullptr) {
        std::fprintf(
            stderr, "korvane-x11: cannot open display '%s'\n",
            options.displayName.empty() ? XDisplayName(nullptr) : options.displayName.c_str());
        return kFailed;
    }
    RecordXErrors();
    XSetIOErrorHandler(DisplayClosed);
    gStats.wanted = options.stats;

    std::string error;
    TargetWindow target;
    if (!OpenTargetWindow(display, options, target, error)) {
        std::fprintf(stderr, "korvane-x11: %s\n", error.c_str());
        return kFailed;
    }
    PixelConversion conversion;
    if (!ChooseConversion(LayoutOfVisual(display, target.visual, target.depth), conversion,
                          error)) {
        std::fprintf(stderr, "korvane-x11: %s\n", error.c_str());
        return kFailed;
    }
    const int signalFd = OpenSignalFd();
    if (signalFd < 0) {
        std::perror("korvane-x11: signalfd");
        return kFailed;
    }

    const int32_t cellScale = options.cellScale != kAutomaticCellScale
                                  ? options.cellScale
                                  : AutomaticCellScale(ReadXftDpi(display));
    Stage stage;
    int errorsSeen = RecordedXErrors().count;
    if (!BuildStage(display, target, conversion, options, sheet, cellScale, stage) &&
        !WindowGone(display, target.window, errorsSeen)) {
        std::fprintf(stderr, "korvane-x11: cannot make an image of %dx%d pixels\n", target.width,
                     target.height);
        return kFailed;
    }
    FramePacer pacer(MonotonicNow(), kFramePeriod);
    bool stepping = true;
    bool repaint = false;
    bool ended = false;
    const int xFd = ConnectionNumber(display);

    while (!ended) {
        // Queued events need no waiting, but a signal is looked for every time round.
        const int64_t timeout = XPending(display) > 0 ? 0
                                : stepping            ? pacer.WaitAt(MonotonicNow())
                                                      : -1;
        if (WaitForSomething(xFd, signalFd, timeout)) {
            break;
        }
        bool resized = false;
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == DestroyNotify && event.xdestroywindow.window == target.window) {
                ended = true;
            } else if (event.type == ClientMessage && target.own &&
                       static_cast<Atom>(event.xclient.data.l[0]) == target.deleteWindow) {
                ended = true;
            } else if (event.type == ConfigureNotify && event.xconfigure.window == target.window &&
                       (event.xconfigure.width != target.width ||
                        event.xconfigure.height != target.height)) {
                target.width = event.xconfigure.width;
                target.height = event.xconfigure.height;
                resized = true;
            } else if (event.type == Expose) {
                repaint = true;
            }
        }
        if (ended || WindowGone(display, target.window, errorsSeen)) {
            break;
        }
        if (resized) {
            // A fresh show at the new size, as a new run would make it.
            if (!BuildStage(display, target, conversion, options, sheet, cellScale, stage)) {
                if (WindowGone(display, target.window, errorsSeen)) {
                    break;
                }
                std::fprintf(stderr, "korvane-x11: cannot make an image of %dx%d pixels\n",
                             target.width, target.height);
                PrintStats();
                return kFailed;
            }
            // The new show's clock starts now: the rebuild is no frame's lateness.
            pacer.Restart(MonotonicNow());
            stepping = true;
        }

        const int64_t now = MonotonicNow();
        if (stepping && now >= pacer.NextDeadline()) {
            pacer.TickStarted(now);
            stage.run->Tick();
            stage.presenter->Present(stage.run->backBuffer());
            ++gStats.presented;
            gStats.missed = pacer.missedDeadlines();
            repaint = false;
            if (options.frames > 0 && stage.run->framesDrawn() == options.frames) {
                stepping = false;
                std::fprintf(stderr, "korvane-x11: frame %d is on screen\n", options.frames - 1);
                std::fflush(stderr);
            }
        } else if (repaint) {
            stage.presenter->Present(stage.run->backBuffer());
            repaint = false;
        }
    }

    stage = Stage{};
    PrintStats();
    if (target.own) {
        XDestroyWindow(display, target.window);
    }
    close(signalFd);
    return kEnded;
}

}  // namespace
}  // namespace korvane

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    korvane::X11Options options;
    std::string error;
    if (!korvane::ParseX11Options(arguments, std::getenv("XSCREENSAVER_WINDOW"), options, error)) {
        std::fprintf(stderr, "korvane-x11: %s\n", error.c_str());
        return korvane::kBadArguments;
    }
    if (options.info != korvane::InfoRequest::kNone) {
        return korvane::AnswerInfoRequest(options.info, "korvane-x11", korvane::Usage());
    }
    return korvane::Run(options);
}
