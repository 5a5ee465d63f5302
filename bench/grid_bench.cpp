#include <benchmark/benchmark.h>

#include "grid/code_grid.h"

namespace korvane {
namespace {

// One frame of the falling code over a whole screen; the show's frame is 30 ms.
void BM_StepCodeRain(benchmark::State& state) {
    const auto cols = static_cast<int32_t>(state.range(0));
    const auto rows = static_cast<int32_t>(state.range(1));
    ShowRandom random;
    CodeGrid grid(cols, rows, random);
    int32_t frameCount = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(grid.StepCodeRain(false, frameCount, random));
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(cols * 16) + "x" + std::to_string(rows * 24));
}
BENCHMARK(BM_StepCodeRain)->Args({120, 45})->Args({240, 90})->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvane
