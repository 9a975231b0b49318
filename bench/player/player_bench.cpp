// The player's costs: loading (pattern conversion) and one tick of a busy
// 32-channel module with every channel carrying a note and an effect.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "sound/mixer/sound_driver.h"
#include "sound/player/loader.h"
#include "sound/player/player_state.h"
#include "sound/player/tables.h"
#include "sound/player/tick.h"

namespace {

// A 32-channel module in file form: 64 patterns of random cells, 31 samples.
std::vector<uint8_t> busy_module(int32_t channels, int32_t patterns)
{
    std::vector<uint8_t> m(1084, 0);
    for (int32_t i = 1; i <= 31; ++i) {
        uint8_t* h = &m[20 + 30 * (i - 1)];
        h[23] = 200;  // 400 bytes
        h[25] = 64;
        h[24] = static_cast<uint8_t>(i & 15);
    }
    m[950] = static_cast<uint8_t>(patterns);
    for (int32_t i = 0; i < patterns; ++i)
        m[952 + i] = static_cast<uint8_t>(i);
    const char sig[] = "32CH";
    std::memcpy(&m[1080], sig, 4);
    std::mt19937 rng(1);
    for (int32_t k = 0; k < patterns * channels * 64; ++k) {
        const uint32_t r = rng();
        const int32_t period = PeriodTable[0][r % 84];
        int32_t cmd = (r >> 8) % 16;
        if (cmd == 0xB || cmd == 0xD || cmd == 0xF)
            cmd = 4;  // keep the song walking forward
        int32_t param = (r >> 16) & 0xFF;
        if (cmd == 0xE && (param >> 4) == 0xE)
            param = 0xE0;
        m.push_back(static_cast<uint8_t>(((r >> 24) & 0x10) | (period >> 8)));
        m.push_back(static_cast<uint8_t>(period));
        m.push_back(static_cast<uint8_t>((((r >> 24) & 0x0F) << 4) | cmd));
        m.push_back(static_cast<uint8_t>(param));
    }
    m.resize(m.size() + 31 * 400, 0);
    return m;
}

// A driver that does as little as a real one would for a call.
int32_t g_sink;
void install_sink()
{
    sound_driver_reset();
    SoundDriver& d = sound_driver;
    d.select_voice = [](int32_t v) { g_sink = v; };
    d.set_voice_sample = [](int32_t v) { g_sink += v; };
    d.set_voice_offset = [](uint32_t v) { g_sink += static_cast<int32_t>(v); };
    d.set_voice_volume = [](int32_t v) { g_sink += v; };
    d.set_voice_pan = [](int32_t v) { g_sink += v; };
    d.set_voice_period = [](int32_t v) { g_sink += v; };
}

void BM_LoadModule(benchmark::State& state)
{
    const std::vector<uint8_t> file = busy_module(32, 64);
    std::vector<uint8_t> image;
    install_sink();
    for (auto _ : state) {
        state.PauseTiming();
        image = file;
        pt_state_reset();
        state.ResumeTiming();
        benchmark::DoNotOptimize(pt_load_module(image.data(), image.size()));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_LoadModule)->Unit(benchmark::kMillisecond);

void BM_Tick32Channels(benchmark::State& state)
{
    std::vector<uint8_t> image = busy_module(32, 64);
    install_sink();
    pt_state_reset();
    pt_load_module(image.data(), image.size());
    for (auto _ : state)
        pt_tick();
    state.SetItemsProcessed(state.iterations());
    benchmark::DoNotOptimize(g_sink);
}
BENCHMARK(BM_Tick32Channels);

}  // namespace
