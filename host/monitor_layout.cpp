#include "host/monitor_layout.h"

#include <algorithm>
#include <cstddef>

#include "grid/cell_geometry.h"

namespace korvane {
namespace {

// The listed rectangle with each side held to kMaxSurfaceSide. A held side is shorter than the
// listed one, so the new corner cannot overflow.
ScreenRect HeldToMaxSide(const ScreenRect& listed) {
    return {listed.left, listed.top, listed.left + listed.Width(), listed.top + listed.Height()};
}

MonitorCover CoverFor(const ScreenRect& listed, int32_t number) {
    const ScreenRect area = HeldToMaxSide(listed);
    return {area, number, area.Width() / kCellWidth, area.Height() / kCellHeight};
}

bool ContainsOrigin(const ScreenRect& area) {
    return area.left <= 0 && area.top <= 0 && area.right > 0 && area.bottom > 0;
}

}  // namespace

MonitorPlan PlanMonitorCovers(const std::vector<MonitorArea>& monitors,
                              const ScreenRect& fallback) {
    std::vector<const MonitorArea*> usable;
    for (const MonitorArea& monitor : monitors) {
        if (!monitor.area.Empty()) {
            usable.push_back(&monitor);
        }
    }
    if (usable.empty()) {
        return {CoverFor(fallback, 0), {}};
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
    MonitorPlan plan{CoverFor((*primary)->area, 0), {}};
    for (const MonitorArea* monitor : usable) {
        const ScreenRect area = HeldToMaxSide(monitor->area);
        const bool covered =
            area == plan.primary.area ||
            std::any_of(plan.others.begin(), plan.others.end(),
                        [&](const MonitorCover& other) { return other.area == area; });
        if (!covered) {
            plan.others.push_back(
                CoverFor(monitor->area, static_cast<int32_t>(plan.others.size()) + 1));
        }
    }
    return plan;
}

}  // namespace korvane
