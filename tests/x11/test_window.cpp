// A window for korvane-x11 to draw into, as a saver manager would make one. Prints the
// window's id once it is mapped, then obeys lines on standard input:
//   resize W H   destroy
// answering each with "ok" once the server has done it. Ends at the end of its input.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    int width = 1024;
    int height = 768;
    if (argc == 2 && std::sscanf(argv[1], "%dx%d", &width, &height) != 2) {
        std::fprintf(stderr, "test_window: usage: test_window [WxH]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "test_window: cannot open the display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    // A background of its own colour, so a picture that never came shows as a difference.
    const Window window = XCreateSimpleWindow(
        display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
        static_cast<unsigned>(height), 0, WhitePixel(display, screen), WhitePixel(display, screen));
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    XEvent event;
    do {
        XNextEvent(display, &event);
    } while (event.type != MapNotify);
    std::printf("%lu\n", static_cast<unsigned long>(window));
    std::fflush(stdout);

    char line[128];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        int w = 0;
        int h = 0;
        if (std::sscanf(line, "resize %d %d", &w, &h) == 2) {
            XResizeWindow(display, window, static_cast<unsigned>(w), static_cast<unsigned>(h));
        } else if (std::strncmp(line, "destroy", 7) == 0) {
            XDestroyWindow(display, window);
        } else {
            std::fprintf(stderr, "test_window: unknown command %s", line);
            return 2;
        }
        XSync(display, False);
        std::printf("ok\n");
        std::fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
