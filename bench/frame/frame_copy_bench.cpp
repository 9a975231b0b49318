// The yardstick for every frame benchmark: one whole 320x240 frame copied
// with memcpy (307200 bytes). Frame costs are reported as multiples of it.
#include "core/frame_buffer.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

void BM_FrameCopy(benchmark::State& state)
{
    static FrameBuffer src{}, dst{};
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), sizeof dst);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameCopy);

}  // namespace
