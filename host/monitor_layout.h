#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "settings/show_settings.h"
#include "sprites/surface.h"

namespace korvane {

// A rectangle on the virtual screen, in physical pixels; right and bottom are exclusive. The
// primary monitor's top-left corner is the origin, so others may lie at negative coordinates.
struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    // Each side from 0 to kMaxSurfaceSide, whatever the corners: the difference is taken
    // in 64 bits, so corners far apart cannot overflow it.
    int32_t Width() const { return Side(left, right); }
    int32_t Height() const { return Side(top, bottom); }
    bool Empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;

  private:
    static int32_t Side(int32_t from, int32_t to) {
        return static_cast<int32_t>(
            std::clamp<int64_t>(int64_t{to} - from, 0, int64_t{kMaxSurfaceSide}));
    }
};

// The dots per inch a monitor has when the platform tells us nothing else.
inline constexpr int32_t kDesignDpi = 96;

// One monitor as the platform lists it.
struct MonitorArea {
    ScreenRect area;
    bool primary = false;
    int32_t dpi = kDesignDpi;
};

// What covers one monitor: the window's rectangle, the factor its cells are drawn at, and the
// grid of whole cells of that size that fits it.
struct MonitorCover {
    ScreenRect area;
    int32_t number = 0;  // 0 for the monitor that runs the show, then 1, 2... in listed order
    int32_t cols = 0;
    int32_t rows = 0;
    int32_t dpi = kDesignDpi;
    int32_t scale = 1;

    bool HasGrid() const { return cols > 0 && rows > 0; }
    friend bool operator==(const MonitorCover&, const MonitorCover&) = default;
};

struct MonitorPlan {
    MonitorCover primary;
    std::vector<MonitorCover> others;
};

// Decides which window covers which monitor. The primary is the monitor the platform marks so,
// else the one at the origin, else the first listed; without any listed monitor it is
// `fallback` (the screen's own size). Empty monitors are left out, and so is a monitor that
// shows the very area of one already covered (a mirrored display). A side longer than
// kMaxSurfaceSide is covered that far from the monitor's top-left corner. Each monitor's cells
// are drawn at the factor the user's glyph size gives it (automatic: its own DPI's).
MonitorPlan PlanMonitorCovers(const std::vector<MonitorArea>& monitors, const ScreenRect& fallback,
                              int32_t glyphScale = kAutomaticGlyphScale,
                              int32_t fallbackDpi = kDesignDpi);

// The same covers at the factors another glyph size gives them.
void ApplyGlyphScale(std::vector<MonitorCover>& covers, int32_t glyphScale);

}  // namespace korvane
