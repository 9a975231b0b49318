// The per-frame presentation passes: the colour-order fix over a whole frame
// and the 2x2 doubling onto a 640x480 surface. Reported as frames a second.
#include "app/present.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void colour_fix(benchmark::State& state)
{
    static FrameBuffer canvas{};
    for (auto _ : state) {
        present_fix_colour(canvas, 0x000000FF);
        benchmark::DoNotOptimize(canvas.data());
    }
    state.counters["frames"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(colour_fix);

void doubling(benchmark::State& state)
{
    static FrameBuffer canvas{};
    std::vector<uint8_t> surface(2560 * 480);
    for (auto _ : state) {
        present_double(canvas, surface.data(), 2560);
        benchmark::DoNotOptimize(surface.data());
    }
    state.counters["frames"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(doubling);

}  // namespace
