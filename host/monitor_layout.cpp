#include "host/monitor_layout.h"

#include <algorithm>
#include <cstddef>

#include "grid/cell_geometry.h"
#include "show/cell_scale_choice.h"

namespace korvane {
namespace {

// The listed rectangle with each side held to kMaxSurfaceSide. A held side is shorter than the
// listed one, so the new corner cannot overflow.
ScreenRect HeldToMaxSide(const ScreenRect& listed) {
    return {listed.left, listed.top, listed.left + listed.Width(), listed.top + listed.Height()};
}

MonitorCover CoverFor(const ScreenRect& listed, int32_t number, int32_t dpi, int32_t glyphScale) {
    MonitorCover cover{HeldToMaxSide(listed), number};
    cover.dpi = dpi;
    cover.scale = ChooseCellScale(glyphScale, dpi);
    const GridSize grid = GridSizeForScreen(cover.area.Width(), cover.area.Height(), cover.scale);
    cover.cols = grid.cols;
    cover.rows = grid.rows;
    return cover;
}

bool ContainsOrigin(const ScreenRect& area) {
    return area.left <= 0 && area.top <= 0 && area.right > 0 && area.bottom > 0;
}

}  // namespace

MonitorPlan PlanMonitorCovers(const std::vector<MonitorArea>& monitors, const ScreenRect& fallback,
                              int32_t glyphScale, int32_t fallbackDpi) {
    std::vector<const MonitorArea*> usable;
    for (const MonitorArea& monitor : monitors) {
        if (!monitor.area.Empty()) {
            usable.push_back(&monitor);
        }
    }
    if (usable.empty()) {
        return {CoverFor(fallback, 0, fallbackDpi, glyphScale), {}};
    }
    auto primary = std::find_if(usable.begin(), usable.end(),
                                [](const MonitorArea* monitor) { return monitor->primary; });
    if (primary == usable.end()) {
        primary = std::find_if(usable.begin(), usable.end(), [](const MonitorArea* monitor) {
            return ContainsOrigin(monitor->area);
        });
    }
    if (primary == usable.end()) {
        primary = usable.begin();
    }
    MonitorPlan plan{CoverFor((*primary)->area, 0, (*primary)->dpi, glyphScale), {}};
    for (const MonitorArea* monitor : usable) {
        const ScreenRect area = HeldToMaxSide(monitor->area);
        const bool covered =
            area == plan.primary.area ||
            std::any_of(plan.others.begin(), plan.others.end(),
                        [&](const MonitorCover& other) { return other.area == area; });
        if (!covered) {
            plan.others.push_back(CoverFor(monitor->area,
                                           static_cast<int32_t>(plan.others.size()) + 1,
                                           monitor->dpi, glyphScale));
        }
    }
    return plan;
}

void ApplyGlyphScale(std::vector<MonitorCover>& covers, int32_t glyphScale) {
    for (MonitorCover& cover : covers) {
        cover = CoverFor(cover.area, cover.number, cover.dpi, glyphScale);
    }
}

}  // namespace korvane
