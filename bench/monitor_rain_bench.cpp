// A monitor beside the show's own at 1920 x 1080: one tick of its falling code (the rain step
// and the render of its region into the 32-bit page that GDI uploads), averaged over 1000
// ticks. Its yardstick is BM_MemcpyFrame (render_bench.cpp), a plain copy of one such frame in
// the same run. The upload itself is the driver's and is left out.
#include <benchmark/benchmark.h>

#include "display/indexed_bitmap.h"
#include "display/memory_surface.h"
#include "show/monitor_rain.h"

namespace korvane {
namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
constexpr int kTicks = 1000;

IndexedBitmap GlyphSheetOrPattern() {
    IndexedBitmap sheet;
    if (ReadBitmapFile(KORVANE_BENCH_ASSET_DIR "/glyphs.bmp", sheet)) {
        return sheet;
    }
    sheet.width = 640;
    sheet.height = 480;
    sheet.colorCount = 256;
    sheet.indices.assign(640 * 480, 7);
    return sheet;
}

void BM_MonitorRainTick(benchmark::State& state) {
    const MemorySurface sheet = SurfaceFromBitmap(GlyphSheetOrPattern(), 4);
    MemorySurface sheetCopy = sheet;
    MemorySurface page(kWidth, kHeight, 4);
    MonitorRain rain(kWidth / 16, kHeight / 24, 1);
    rain.glyphStrip.sourceSurface = &sheetCopy;
    rain.glyphStrip.targetSurface = &page;
    rain.glyphStrip.SetBltFlags(kBltNoColorKey);
    for (auto _ : state) {
        rain.Frame();
        benchmark::DoNotOptimize(page.bytes.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.bytes.size()));
}
BENCHMARK(BM_MonitorRainTick)->Iterations(kTicks)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvane
