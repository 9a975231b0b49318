// fx_halftone over a whole frame of noise, where every cell marks in every
// byte, at the strengths the mesh scene swings between and at the finale's
// peak.
#include "gfx/fx/halftone.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

void BM_Halftone(benchmark::State& state)
{
    fx_halftone_init(FRAME_WIDTH, FRAME_HEIGHT);
    static FrameBuffer src{}, dst{};
    std::mt19937 rng(1);
    for (uint32_t& p : src)
        p = rng();
    const int32_t strength = int32_t(state.range(0));
    for (auto _ : state) {
        fx_halftone(dst, src, strength);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Halftone)->Arg(30)->Arg(130)->Arg(260);

}  // namespace
