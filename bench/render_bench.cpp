// A full-region render at 1920 x 1080 x 32 on memory surfaces, beside a plain copy of the
// same number of bytes as the yardstick.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "display/indexed_bitmap.h"
#include "display/memory_display.h"
#include "grid/code_grid.h"
#include "grid/show_random.h"
#include "sprites/sprite_strip.h"

namespace korvane {
namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;

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

void BM_RenderFullRegion(benchmark::State& state) {
    const IndexedBitmap sheet = PatternSheet();
    MemoryDisplay display(kWidth, kHeight, 32);
    SpriteStrip glyphStrip, cursorStrip;
    SetUpMemoryDisplay(display, &sheet, glyphStrip, cursorStrip);
    ShowRandom random;
    CodeGrid grid(kWidth / 16, kHeight / 24, random);
    for (size_t i = 0; i < grid.cells.size(); ++i) {
        grid.cells[i] = static_cast<int32_t>((i * 13) % 468);
    }
    grid.redrawRegion = {0, 0, grid.cols, grid.rows};
    for (auto _ : state) {
        grid.Render(glyphStrip);
        benchmark::DoNotOptimize(display.backBuffer.bytes.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(display.backBuffer.bytes.size()));
}
BENCHMARK(BM_RenderFullRegion)->Unit(benchmark::kMicrosecond);

void BM_MemcpyFrame(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(kWidth) * kHeight * 4;
    std::vector<uint8_t> from(bytes, 1), to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvane
