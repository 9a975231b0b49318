// Voice-frames mixed per second: 4, 8 and 32 looping voices at mixed
// pitches, one device buffer per iteration, into a buffer and
// into nothing (the fast-forward road).

#include "core/sound_rates.h"
#include "sound/mixer/mixer.h"
#include "sound/mixer/null_audio.h"
#include "sound/mixer/sound_driver.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

// Eight looping samples of module-like sizes; loops run to the sample end, as
// the loader hands them over, so every pass also crosses the end guard.
struct Bank {
    std::vector<std::vector<int8_t>> samples;
    Bank()
    {
        std::mt19937 rng(7);
        const uint32_t lengths[] = {2000, 3500, 5000, 8000, 11000, 16000, 640, 1200};
        for (uint32_t n : lengths) {
            std::vector<int8_t> d(n);
            for (auto& b : d)
                b = int8_t(rng());
            samples.push_back(std::move(d));
        }
    }
};

void set_up_voices(int32_t voices)
{
    static Bank bank;
    sound_driver_reset();
    mixer_reset();
    null_audio_install(SAMPLE_RATE, DEVICE_BUFFER_FRAMES);
    sound_driver.init(SAMPLE_RATE, DEVICE_BUFFER_FRAMES);
    sound_driver.set_master_volume(64);
    for (int32_t s = 0; s < 8; ++s) {
        const auto& d = bank.samples[size_t(s)];
        const uint32_t end = uint32_t(d.size());
        sound_driver.define_sample(s + 1, d.data(), end, end / 4, end, 1);
    }
    sound_driver.set_voice_count(voices);
    // Periods over three octaves and then some: steps from about 0.09 to 1.6.
    const int32_t periods[] = {856, 428, 214, 113, 640, 320, 160, 50, 762, 381, 190, 95};
    for (int32_t v = 0; v < voices; ++v) {
        sound_driver.select_voice(v);
        sound_driver.set_voice_volume(40 + v % 25);
        sound_driver.set_voice_pan((v * 67) & 255);
        sound_driver.set_voice_sample(1 + v % 8);
        sound_driver.set_voice_period(periods[v % 12]);
        sound_driver.set_voice_offset(uint32_t(v * 37));
    }
}

void mix_looping_voices(benchmark::State& state)
{
    const auto voices = int32_t(state.range(0));
    const bool into_nothing = state.range(1) != 0;
    set_up_voices(voices);
    std::vector<int16_t> buffer(2 * DEVICE_BUFFER_FRAMES, 0);
    int16_t* out = into_nothing ? nullptr : buffer.data();
    for (auto _ : state) {
        mixer_mix(out, DEVICE_BUFFER_FRAMES);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.counters["voice_frames"] = benchmark::Counter(
        double(state.iterations()) * voices * DEVICE_BUFFER_FRAMES, benchmark::Counter::kIsRate);
}

BENCHMARK(mix_looping_voices)->ArgsProduct({{4, 8, 32}, {0, 1}})->ArgNames({"voices", "null"});

}  // namespace
