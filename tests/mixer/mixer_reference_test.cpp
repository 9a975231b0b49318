// mixer_mix against a slow model written straight from the mixing rules: one
// voice, one frame, one check at a time. Random sample banks, voice settings
// and mix calls (fixed seed) go to both through the operation table; every
// call's output and every active voice must come out identical.
//
// The model also has the data guards: a loop that runs to the sample's end
// reads its loop start at index end, a loop end past the end counts as end,
// a loop start at or past the end plays the sample once, null data is not
// mixed. Sample data lives in vectors of exactly `end` bytes, so a read
// outside them shows in the sanitizer build, and the model counts its own.
//
// Some mix calls go through mixer_mix_wide instead: its 32-bit sums must be
// the model's unwrapped sums, and their low 16 bits the model's 16-bit mix
// of the same start values, so the wide mix and mixer_mix agree bit for bit.

#include "core/sound_rates.h"
#include "tests/mixer/mixer_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

namespace {

struct ModelVoice {
    const int8_t* data = nullptr;
    int32_t sample = 0;
    int32_t volume = 0;
    uint32_t frac = 0;
    uint32_t pos = 0;
    uint32_t step_frac = 0;
    uint32_t step = 0;
    uint32_t loop_start = 0;
    uint32_t loop_end = 0;
    int32_t loop = 0;
    uint32_t end = 0;
    int32_t pan = 0;
    bool step_changed = false;
    bool position_changed = false;
    bool finished = false;
};

struct ModelSample {
    const int8_t* data = nullptr;
    uint32_t end = 0, loop_start = 0, loop_end = 0;
    int32_t loop = 0;
};

struct Model {
    ModelVoice pending[32];
    ModelVoice active[32];
    ModelSample samples[32];
    int selected = 0;
    int32_t master = 63;
    int32_t count = 4;
    int32_t rate = SAMPLE_RATE;
    long bad_reads = 0;

    void init(int32_t r)
    {
        rate = r;
        for (int i = 0; i < 32; ++i) {
            pending[i] = ModelVoice{};
            pending[i].pan = 127;
            pending[i].step_changed = pending[i].position_changed = true;
            active[i] = pending[i];
            samples[i] = ModelSample{};
        }
    }
    void define_sample(int s, const int8_t* d, uint32_t e, uint32_t ls, uint32_t le, int32_t l)
    {
        samples[s] = {d, e, ls, le, l};
    }
    void set_sample(int s)
    {
        ModelVoice& v = pending[selected];
        v.data = samples[s].data;
        v.end = samples[s].end;
        v.loop_start = samples[s].loop_start;
        v.loop_end = samples[s].loop_end;
        v.loop = samples[s].loop;
        v.sample = s;
    }
    void set_offset(uint32_t p)
    {
        ModelVoice& v = pending[selected];
        if (p > v.loop_end)
            v.loop = 0;
        if (p < v.end) {
            v.pos = p;
            v.frac = 0;
            v.position_changed = true;
        }
    }
    void set_step(uint32_t whole, uint32_t fraction)
    {
        pending[selected].step = whole;
        pending[selected].step_frac = fraction;
        pending[selected].step_changed = true;
    }
    void set_period(int32_t period)
    {
        if (period <= 0 || rate <= 0) {
            set_step(0, 0);
            return;
        }
        const double x = double(PERIOD_CLOCK) / (double(period) * rate);
        double whole;
        const double fraction = std::modf(x, &whole);
        set_step(uint32_t(PERIOD_CLOCK / period / rate), uint32_t(int32_t(fraction * 16777216.0)) << 8);
    }

    static int16_t add(int16_t sum, uint32_t product) { return int16_t(uint16_t(uint16_t(sum) + product)); }
    static int32_t add(int32_t sum, uint32_t product) { return int32_t(uint32_t(sum) + product); }

    template <typename Out> void mix(Out* out, int frames)
    {
        const int n = std::min(count, 32);
        for (int i = 0; i < n; ++i) {
            ModelVoice& p = pending[i];
            ModelVoice& a = active[i];
            ModelVoice kept = a;
            a = p;
            if (p.position_changed) {
                p.position_changed = false;
                a.finished = false;
            } else {
                a.pos = kept.pos;
                a.frac = kept.frac;
                a.finished = kept.finished;
            }
            if (p.step_changed) {
                p.step_changed = false;
            } else {
                a.step = kept.step;
                a.step_frac = kept.step_frac;
            }
        }
        for (int i = 0; i < n; ++i) {
            ModelVoice& a = active[i];
            if (a.end == 0 || a.volume == 0 || a.data == nullptr || a.finished)
                continue;
            const uint32_t v = uint32_t(a.volume), pan = uint32_t(a.pan), m = uint32_t(master);
            const uint32_t first = ((m * v * pan) >> 7) / 63;
            const uint32_t second = (((255 - pan) * v * m) >> 7) / 63;
            const bool loops = a.loop != 0 && a.loop_start < a.end;
            const uint32_t loop_bound = std::min(a.loop_end, a.end);
            for (int f = 0; f < frames; ++f) {
                const uint32_t old = a.frac;
                a.frac += a.step_frac;
                a.pos += a.step + (a.frac < old ? 1 : 0);
                if (loops) {
                    if (a.pos > loop_bound)
                        a.pos = a.loop_start + 1;
                } else if (a.pos >= a.end) {
                    a.volume = 0;
                    a.pos = 0;
                    a.step = 0;
                    a.step_frac = 0;
                    a.finished = true;
                    break;
                }
                const uint32_t index = a.pos == a.end ? a.loop_start : a.pos;
                if (index >= a.end) {
                    ++bad_reads;
                    continue;
                }
                const int32_t s = a.data[index];
                if (out) {
                    out[2 * f] = add(out[2 * f], first * uint32_t(s));
                    out[2 * f + 1] = add(out[2 * f + 1], second * uint32_t(s));
                }
            }
        }
    }
};

void expect_same_voice(const ModelVoice& m, const Voice& v, int voice, int round)
{
    SCOPED_TRACE(::testing::Message() << "voice " << voice << " round " << round);
    EXPECT_EQ(v.data, m.data);
    EXPECT_EQ(v.volume, m.volume);
    EXPECT_EQ(v.position, m.pos);
    EXPECT_EQ(v.position_frac, m.frac);
    EXPECT_EQ(v.step, m.step);
    EXPECT_EQ(v.step_frac, m.step_frac);
    EXPECT_EQ(v.loop, m.loop);
    EXPECT_EQ(v.end, m.end);
    EXPECT_EQ(v.pan, m.pan);
    EXPECT_EQ(v.finished != 0, m.finished);
}

// Settings drawn to reach every branch: tiny and long samples, loops inside
// the data, to its end and past it, steps from 0 to thousands of samples.
struct Fuzzer {
    std::mt19937 rng{20261208};
    std::vector<std::vector<int8_t>> bank;
    std::vector<int8_t> noise = make_noise();

    std::vector<int8_t> make_noise()
    {
        std::vector<int8_t> n(1 << 16);
        for (auto& b : n)
            b = int8_t(rng());
        return n;
    }

    uint32_t below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng); }
    bool chance(uint32_t percent) { return below(100) < percent; }

    void define_samples(Model& model)
    {
        bank.assign(32, {});
        for (int s = 0; s < 32; ++s) {
            if (chance(15))
                continue;  // an empty slot: end 0
            uint32_t end;
            switch (below(4)) {
            case 0:
                end = 1 + below(4);
                break;
            case 1:
                end = 1 + below(64);
                break;
            case 2:
                end = 100 + below(3000);
                break;
            default:
                end = 4000 + below(20000);
                break;
            }
            // Each sample in a vector of its own length, cut from the noise.
            const uint32_t from = below(uint32_t(noise.size()) - end);
            auto& d = bank[s];
            d.assign(noise.begin() + from, noise.begin() + from + end);
            uint32_t ls = 0, le = 0;
            int32_t loop = chance(60) ? 1 : 0;
            switch (below(8)) {
            case 0:
                ls = below(end);
                le = end;
                break;  // runs to the end, as a loader gives it
            case 1:
                ls = below(end);
                le = ls;
                break;
            case 2:
                ls = below(end + 8);
                le = below(end + 8);
                break;  // anything, even past the end
            case 3:
                ls = ~0u - below(2);
                le = ~0u;
                break;
            default:
                ls = below(end);
                le = ls + below(end - ls);
                break;
            }
            const int8_t* data = d.data();
            if (chance(2))
                data = nullptr;
            ASSERT_EQ(sound_driver.define_sample(s, data, end, ls, le, loop), 1);
            model.define_sample(s, data, end, ls, le, loop);
        }
    }

    uint32_t offset(const Model& model)
    {
        const ModelVoice& v = model.pending[model.selected];
        switch (below(6)) {
        case 0:
            return 0;
        case 1:
            return v.end ? v.end - 1 : 0;
        case 2:
            return v.end;
        case 3:
            return v.loop_end + below(3);
        case 4:
            return below(v.end + 10);
        default:
            return below(256) << 8;  // a sample-offset effect
        }
    }

    void voice_operation(Model& model)
    {
        switch (below(9)) {
        case 0: {
            const int voice = int(chance(80) ? below(uint32_t(std::clamp(model.count, 1, 32))) : below(32));
            sound_driver.select_voice(voice);
            model.selected = voice;
            break;
        }
        case 1: {
            const int s = int(below(32));
            sound_driver.set_voice_sample(s);
            model.set_sample(s);
            break;
        }
        case 2: {
            const uint32_t p = offset(model);
            sound_driver.set_voice_offset(p);
            model.set_offset(p);
            break;
        }
        case 3: {
            int32_t period;
            switch (below(5)) {
            case 0:
                period = 0;
                break;
            case 1:
                period = -int32_t(below(4));
                break;
            case 2:
                period = 1 + int32_t(below(40));
                break;
            case 3:
                period = 28 + int32_t(below(4000));
                break;
            default:
                period = int32_t(below(0x7FFFFFFF));
                break;
            }
            sound_driver.set_voice_period(period);
            model.set_period(period);
            break;
        }
        case 4: {
            uint32_t whole = chance(50) ? below(3) : below(5000);
            // Round steps land exactly on the bounds.
            const uint32_t round_fractions[] = {0, 0x80000000u, 0x40000000u, 0xC0000000u};
            uint32_t fraction = chance(50) ? round_fractions[below(4)] : uint32_t(rng());
            if (chance(10))
                whole = ~0u - below(3);  // runs the position backwards through 2^32
            mixer_set_voice_step(whole, fraction);
            model.set_step(whole, fraction);
            break;
        }
        case 5: {
            const int32_t volume = chance(15) ? 0 : chance(80) ? int32_t(below(65)) : int32_t(below(256));
            sound_driver.set_voice_volume(volume);
            model.pending[model.selected].volume = volume;
            break;
        }
        case 6: {
            const int32_t pan = int32_t(below(256));
            sound_driver.set_voice_pan(pan);
            model.pending[model.selected].pan = pan;
            break;
        }
        case 7: {
            const int32_t master = chance(70) ? 64 : int32_t(below(300));
            sound_driver.set_master_volume(master);
            model.master = std::min(master, 252);
            break;
        }
        default:
            if (chance(30)) {
                const int32_t count = chance(10) ? int32_t(below(3)) - 1 : 1 + int32_t(below(32));
                sound_driver.set_voice_count(count);
                model.count = count;
            }
            break;
        }
    }
};

TEST_F(MixerTest, MatchesTheOneFrameAtATimeModel)
{
    Fuzzer fuzz;
    const int32_t rates[] = {SAMPLE_RATE, SAMPLE_RATE, SAMPLE_RATE, 22050, 8000, 48000, 1000, 7, 1};
    long frames_compared = 0;
    long model_bad_reads = 0;

    for (int round_set = 0; round_set < 3000; ++round_set) {
        SCOPED_TRACE(::testing::Message() << "case " << round_set);
        Model model;
        const int32_t rate = rates[fuzz.below(std::size(rates))];
        mixer_reset();
        sound_driver.init(rate, DEVICE_BUFFER_FRAMES);
        model.init(rate);
        const int32_t count = 1 + int32_t(fuzz.below(fuzz.chance(70) ? 8 : 32));
        sound_driver.set_voice_count(count);
        model.count = count;
        sound_driver.set_master_volume(64);
        model.master = 64;
        fuzz.define_samples(model);
        if (HasFatalFailure())
            return;

        for (int round = 0; round < 8; ++round) {
            const int ops = int(fuzz.below(40));
            for (int i = 0; i < ops; ++i)
                fuzz.voice_operation(model);

            const int frames = int(fuzz.chance(10) ? fuzz.below(3) : fuzz.below(900));
            const bool null_out = fuzz.chance(40);
            const bool wide = fuzz.chance(30);
            std::vector<int16_t> got(2 * size_t(frames)), want;
            std::vector<int32_t> got_wide(2 * size_t(frames)), want_wide;
            for (size_t i = 0; i < got.size(); ++i) {
                // The mixer only adds: any start must do.
                got_wide[i] = int32_t(fuzz.rng()) >> int(fuzz.below(32));
                got[i] = int16_t(wide ? uint16_t(got_wide[i]) : fuzz.below(65536));
            }
            want = got;
            want_wide = got_wide;
            if (wide) {
                mixer_mix_wide(null_out ? nullptr : got_wide.data(), frames);
                for (size_t i = 0; i < got.size(); ++i)
                    got[i] = int16_t(uint16_t(got_wide[i]));  // the reduction
                Model narrow = model;                         // the same call, 16 bits, from the same state
                narrow.mix(null_out ? nullptr : want.data(), frames);
                model.mix(null_out ? nullptr : want_wide.data(), frames);
            } else {
                mixer_mix(null_out ? nullptr : got.data(), frames);
                model.mix(null_out ? nullptr : want.data(), frames);
            }
            frames_compared += frames;

            if (!null_out && wide && got_wide != want_wide) {
                const auto at = std::mismatch(got_wide.begin(), got_wide.end(), want_wide.begin()).first;
                FAIL() << "round " << round << ": wide output differs at sample " << (at - got_wide.begin())
                       << " of " << got_wide.size();
            }
            if (!null_out && got != want) {
                const auto at = std::mismatch(got.begin(), got.end(), want.begin()).first;
                FAIL() << "round " << round << (wide ? ": wide output reduced" : ": output")
                       << " differs at sample " << (at - got.begin()) << " of " << got.size();
            }
            const MixerView view = mixer_view();
            for (int v = 0; v < 32; ++v)
                expect_same_voice(model.active[v], view.active[v], v, round);
            if (HasFailure())
                return;
        }
        model_bad_reads += model.bad_reads;
    }
    EXPECT_EQ(model_bad_reads, 0);  // the model's own guards hold too
    EXPECT_GT(frames_compared, 5'000'000);
}

}  // namespace
