// A full-region render on memory surfaces, beside a plain copy of the page as the yardstick: at
// 1920 x 1080, and at 3840 x 2160 with the design's cells and with cells enlarged twice, where
// a frame takes a quarter of the copies. `over_memcpy` is the render's time over the copy's,
// the two taken in turn in every iteration.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "display/indexed_bitmap.h"
#include "display/memory_display.h"
#include "grid/cell_geometry.h"
#include "grid/code_grid.h"
#include "grid/show_random.h"
#include "sprites/sprite_strip.h"

namespace korvane {
namespace {

// A sheet of distinct indices; the decoder is not what is measured here.
IndexedBitmap PatternSheet() {
    IndexedBitmap sheet;
    sheet.width = 640;
    sheet.height = 480;
    sheet.colorCount = 256;
    for (int i = 0; i < 256; ++i) {
        sheet.colors[static_cast<size_t>(i)] = {0, static_cast<uint8_t>(i), 0};
    }
    sheet.indices.resize(640 * 480);
    for (size_t i = 0; i < sheet.indices.size(); ++i) {
        sheet.indices[i] = static_cast<uint8_t>(i * 31);
    }
    return sheet;
}

// Passes every copy on to the page, a band as a band, and counts them.
class CountingSurface final : public Surface {
  public:
    explicit CountingSurface(Surface& page) : page_(page) {}
    DisplayResult BltFast(int32_t x, int32_t y, Surface& source, const PixelRect& rect,
                          uint32_t flags) override {
        ++copies;
        return page_.BltFast(x, y, source, rect, flags);
    }
    bool TakesBands() const override { return page_.TakesBands(); }
    DisplayResult BltFastBand(int32_t y, Surface& source, std::span<const BandCopy> band,
                              uint32_t flags) override {
        copies += static_cast<int64_t>(band.size());
        return page_.BltFastBand(y, source, band, flags);
    }
    int64_t copies = 0;

  private:
    Surface& page_;
};

void BM_RenderFullRegion(benchmark::State& state, int32_t width, int32_t height, int32_t scale,
                         int64_t expectedCopies) {
    const IndexedBitmap sheet = PatternSheet();
    MemoryDisplay display(width, height, 32);
    SpriteStrip glyphStrip, cursorStrip;
    SetUpMemoryDisplay(display, &sheet, glyphStrip, cursorStrip, scale);
    ShowRandom random;
    const GridSize size = GridSizeForScreen(width, height, scale);
    CodeGrid grid(size.cols, size.rows, random, scale);
    for (size_t i = 0; i < grid.cells.size(); ++i) {
        grid.cells[i] = static_cast<int32_t>((i * 13) % 468);
    }
    grid.redrawRegion = {0, 0, grid.cols, grid.rows};

    // One counted frame outside the timing: the copies a frame takes.
    CountingSurface counter(display.backBuffer);
    glyphStrip.targetSurface = &counter;
    grid.Render(glyphStrip);
    glyphStrip.targetSurface = &display.backBuffer;
    if (counter.copies != expectedCopies) {
        state.SkipWithError("a full-region frame did not take the copies expected");
        return;
    }
    state.counters["copies"] = static_cast<double>(counter.copies);

    // Each frame is timed beside a memcpy of a page of the same size, so the ratio holds even
    // while the machine's memory bandwidth changes under other work.
    const std::vector<uint8_t> pageFrom(display.backBuffer.bytes.size(), 1);
    std::vector<uint8_t> pageTo(display.backBuffer.bytes.size(), 0);
    double renderSeconds = 0;
    double memcpySeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        grid.Render(glyphStrip);
        benchmark::DoNotOptimize(display.backBuffer.bytes.data());
        benchmark::ClobberMemory();
        const auto rendered = std::chrono::steady_clock::now();
        std::memcpy(pageTo.data(), pageFrom.data(), pageTo.size());
        benchmark::DoNotOptimize(pageTo.data());
        benchmark::ClobberMemory();
        const auto copied = std::chrono::steady_clock::now();
        const double frame = std::chrono::duration<double>(rendered - start).count();
        renderSeconds += frame;
        memcpySeconds += std::chrono::duration<double>(copied - rendered).count();
        state.SetIterationTime(frame);
    }
    state.counters["over_memcpy"] = memcpySeconds > 0 ? renderSeconds / memcpySeconds : 0;
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(display.backBuffer.bytes.size()));
}
BENCHMARK_CAPTURE(BM_RenderFullRegion, 1080p, 1920, 1080, 1, 120 * 45)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RenderFullRegion, 2160p, 3840, 2160, 1, 240 * 90)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RenderFullRegion, 2160p_scale2, 3840, 2160, 2, 120 * 45)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

void BM_MemcpyFrame(benchmark::State& state, int32_t width, int32_t height) {
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    std::vector<uint8_t> from(bytes, 1), to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK_CAPTURE(BM_MemcpyFrame, 1080p, 1920, 1080)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MemcpyFrame, 2160p, 3840, 2160)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvane
