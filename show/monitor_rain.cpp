#include "show/monitor_rain.h"

namespace korvane {

MonitorRain::MonitorRain(int32_t cols, int32_t rows, int32_t monitorNumber, int32_t cellScale)
    : random(static_cast<uint32_t>(monitorNumber) + 1u), grid(cols, rows, random, cellScale) {}

void MonitorRain::Frame() {
    grid.Render(glyphStrip);
    grid.StepCodeRain(true, rainFrameCount, random);
}

}  // namespace korvane
