/* A test-only libXinerama.so.1: Wine (with UseXRandR=N) takes its monitors from Xinerama, and
 * this library reports the heads named by KORVANE_TEST_HEADS instead of the X server's own,
 * so that one wide Xvfb screen can stand for several monitors:
 *
 *   KORVANE_TEST_HEADS="1024x768+0+0,1024x768+1024+0"   WIDTHxHEIGHT+X+Y, X root coordinates
 *
 * Wine makes the first head its primary monitor, so the primary comes first. Built without the
 * C library (gcc -shared -fPIC -nostdlib): malloc and getenv come from the process that loads
 * it, and Wine frees the list with XFree, which is free. Without the variable, or with a head
 * it cannot read, it reports that Xinerama is not there and Wine falls back to one monitor. */
#include <stddef.h>

typedef struct {
    int screen_number;
    short x_org;
    short y_org;
    short width;
    short height;
} XineramaScreenInfo;

typedef struct KorvaneOpaqueDisplay Display;

extern char *getenv(const char *name);
extern void *malloc(size_t size);

enum { kMaxHeads = 16 };

/* Reads a whole number at *text; moves past it. -1 when there is none. */
static int read_number(const char **text) {
    const char *p = *text;
    int value = 0;
    if (*p < '0' || *p > '9') {
        return -1;
    }
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p - '0');
        if (value > 32767) {
            return -1;
        }
        ++p;
    }
    *text = p;
    return value;
}

/* Reads a signed coordinate: "+N" or "-N". */
static int read_offset(const char **text, int *value) {
    const char sign = **text;
    if (sign != '+' && sign != '-') {
        return 0;
    }
    ++*text;
    const int number = read_number(text);
    if (number < 0) {
        return 0;
    }
    *value = sign == '-' ? -number : number;
    return 1;
}

/* The heads of KORVANE_TEST_HEADS, or 0 when it is absent or malformed. */
static int read_heads(XineramaScreenInfo *heads) {
    const char *text = getenv("KORVANE_TEST_HEADS");
    int count = 0;
    if (text == NULL || *text == '\0') {
        return 0;
    }
    for (;;) {
        int width, height, x, y;
        if (count == kMaxHeads) {
            return 0;
        }
        width = read_number(&text);
        if (width <= 0 || *text++ != 'x') {
            return 0;
        }
        height = read_number(&text);
        if (height <= 0 || !read_offset(&text, &x) || !read_offset(&text, &y)) {
            return 0;
        }
        heads[count].screen_number = count;
        heads[count].x_org = (short)x;
        heads[count].y_org = (short)y;
        heads[count].width = (short)width;
        heads[count].height = (short)height;
        ++count;
        if (*text == '\0') {
            return count;
        }
        if (*text++ != ',') {
            return 0;
        }
    }
}

int XineramaQueryExtension(Display *display, int *event_base, int *error_base) {
    XineramaScreenInfo heads[kMaxHeads];
    (void)display;
    if (event_base != NULL) {
        *event_base = 0;
    }
    if (error_base != NULL) {
        *error_base = 0;
    }
    return read_heads(heads) > 0;
}

int XineramaQueryVersion(Display *display, int *major, int *minor) {
    (void)display;
    if (major != NULL) {
        *major = 1;
    }
    if (minor != NULL) {
        *minor = 1;
    }
    return 1;
}

int XineramaIsActive(Display *display) {
    return XineramaQueryExtension(display, NULL, NULL);
}

XineramaScreenInfo *XineramaQueryScreens(Display *display, int *number) {
    XineramaScreenInfo heads[kMaxHeads];
    XineramaScreenInfo *list;
    const int count = read_heads(heads);
    (void)display;
    *number = 0;
    if (count == 0) {
        return NULL;
    }
    list = malloc(sizeof(XineramaScreenInfo) * (size_t)count);
    if (list == NULL) {
        return NULL;
    }
    for (int i = 0; i < count; ++i) {
        list[i] = heads[i];
    }
    *number = count;
    return list;
}
