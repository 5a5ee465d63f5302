#include "x11/target_window.h"

#include <X11/Xutil.h>

#include <cstdio>

#include "x11/x_errors.h"

namespace korvane {

namespace {

constexpr long kEvents = StructureNotifyMask | ExposureMask;

bool MakeOwnWindow(Display* display, const X11Options& options, TargetWindow& target) {
    const int screen = DefaultScreen(display);
    target.window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                        static_cast<unsigned>(options.width),
                                        static_cast<unsigned>(options.height), 0,
                                        BlackPixel(display, screen), BlackPixel(display, screen));
    target.own = true;
    XStoreName(display, target.window, "Korvane");
    XClassHint hint{const_cast<char*>("korvane-x11"), const_cast<char*>("Korvane")};
    XSetClassHint(display, target.window, &hint);
    target.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, target.window, &target.deleteWindow, 1);
    XSelectInput(display, target.window, kEvents);
    XMapWindow(display, target.window);
    // Drawing before the window is on screen would draw nothing.
    XEvent event;
    do {
        XWindowEvent(display, target.window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
    return true;
}

}  // namespace

bool OpenTargetWindow(Display* display, const X11Options& options, TargetWindow& target,
                      std::string& error) {
    target = TargetWindow{};
    if (options.target == WindowTarget::kOwnWindow) {
        MakeOwnWindow(display, options, target);
    } else if (options.target == WindowTarget::kRoot) {
        target.window = DefaultRootWindow(display);
    } else {
        target.window = static_cast<Window>(options.windowId);
    }

    XWindowAttributes attributes;
    const int errorsBefore = RecordedXErrors().count;
    if (XGetWindowAttributes(display, target.window, &attributes) == 0 ||
        RecordedXErrors().count != errorsBefore) {
        char id[32];
        std::snprintf(id, sizeof id, "0x%lx", static_cast<unsigned long>(target.window));
        error = std::string("window ") + id + " does not exist";
        return false;
    }
    if (!target.own) {
        // Shared with whoever else listens; neither mask takes anything from them.
        XSelectInput(display, target.window, attributes.your_event_mask | kEvents);
    }
    target.visual = attributes.visual;
    target.depth = attributes.depth;
    target.width = attributes.width;
    target.height = attributes.height;
    return true;
}

VisualLayout LayoutOfVisual(Display* display, Visual* visual, int32_t depth) {
    VisualLayout layout;
    layout.trueColor = visual->c_class == TrueColor;
    layout.depth = depth;
    layout.redMask = static_cast<uint32_t>(visual->red_mask);
    layout.greenMask = static_cast<uint32_t>(visual->green_mask);
    layout.blueMask = static_cast<uint32_t>(visual->blue_mask);
    layout.bigEndian = ImageByteOrder(display) == MSBFirst;
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    for (int i = 0; i < count; ++i) {
        if (formats[i].depth == depth) {
            layout.bitsPerPixel = formats[i].bits_per_pixel;
        }
    }
    if (formats != nullptr) {
        XFree(formats);
    }
    return layout;
}

}  // namespace korvane
