#include <benchmark/benchmark.h>

#include <memory>

#include "show/frame_tick.h"
#include "show/headless_show_display.h"
#include "show/recording_sound_player.h"
#include "show/show.h"

namespace korvane {
namespace {

// More than one full cycle with the defaults (about 5300 frames).
constexpr int32_t kCycleFrames = 8000;

// The frame tick over a whole show cycle (title, trace, message, rain, rain with title) at
// 1920x1080 with the headless display: the per-frame cost of the show's own work.
void BM_FrameTickShowCycle(benchmark::State& state) {
    int64_t frames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ShowEventLog log;
        RecordingSoundPlayer sound(log);
        HeadlessShowDisplay display;
        auto show = std::make_unique<Show>(sound);
        show->display = &display;
        CreateShowGrid(*show, 1920 / 16, 1080 / 24);
        state.ResumeTiming();
        for (int32_t t = 0; t < kCycleFrames; ++t) {
            log.Clear();
            FrameTick(*show, t);
        }
        benchmark::DoNotOptimize(show->grid->cells.data());
        frames += kCycleFrames;
    }
    // Time per frame, shown with its unit prefix (u = microseconds): the goal is 50us.
    state.counters["per_frame"] = benchmark::Counter(
        static_cast<double>(frames), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FrameTickShowCycle)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace korvane
