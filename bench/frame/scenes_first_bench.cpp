// Whole frames of scenes 1 to 3 through frame_draw, overlays and film damage
// included, on the show's own pictures: run in a directory holding data/
// (the build directory; the program also looks two levels above itself).
//
// Each benchmark starts a fresh run on a virtual clock at 20 s: the first
// frame's delta is the whole 20 s, so every overlay row active at the
// position is fully faded in and draws all its lines. Then the same
// position is drawn again and again, the clock 17 ms on each time, so the
// smoke steps in every frame (its gate is 15 ms). The positions:
//   tower     100 opening lines, 200 the title
//   smoke     440 all four sprites and the sign
//   circles   520 no credit yet, 640 all fifteen and the mast,
//             680 with the backdrop dissolving in as well
#include "app/frame.h"
#include "app/show.h"
#include "bench/frame/bench_show.h"
#include "core/clock.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr uint32_t START_MS = 20000;
constexpr uint32_t FRAME_MS = 17;

uint32_t bench_now = 0;
uint32_t bench_clock() { return bench_now; }

void run_scene(benchmark::State& state)
{
    const Show* pictures = bench_show();
    if (pictures == nullptr) {
        state.SkipWithError("no data/ with the show's pictures");
        return;
    }
    const int32_t pos = int32_t(state.range(0));
    auto show = std::make_unique<Show>();
    show->pictures = pictures->pictures;  // the same pixels, read only
    show_prepare_work(*show);
    static FrameBuffer canvas{};
    clock_set_source(bench_clock);
    bench_now = START_MS;
    for (auto _ : state) {
        frame_draw(*show, int32_t(bench_now), pos, canvas);
        benchmark::DoNotOptimize(canvas.data());
        benchmark::ClobberMemory();
        // A minute of clock, then round again: the overlays only count on.
        bench_now = START_MS + (bench_now - START_MS + FRAME_MS) % 60000;
    }
    clock_set_source(nullptr);
}

void BM_SceneTower(benchmark::State& state) { run_scene(state); }
BENCHMARK(BM_SceneTower)->Arg(100)->Arg(200);

void BM_SceneSmoke(benchmark::State& state) { run_scene(state); }
BENCHMARK(BM_SceneSmoke)->Arg(440);

void BM_SceneCircles(benchmark::State& state) { run_scene(state); }
BENCHMARK(BM_SceneCircles)->Arg(520)->Arg(640)->Arg(680);

}  // namespace
