#include "tools/music/samples.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/music/prng.h"

namespace {

constexpr double TWO_PI = 2.0 * std::numbers::pi;
const double NATIVE_RATE = playback_rate(428);  // C-2
constexpr double C4 = 261.6256;
constexpr double DRUM_RATE = double(PERIOD_CLOCK) / 214;   // drums play at C-3
constexpr double METAL_RATE = double(PERIOD_CLOCK) / 113;  // cymbals play at B-3

// Scales to the given peak and rounds; the peak is what the level budget
// of the checks reads back from the data.
std::vector<int8_t> to_pcm(const std::vector<double>& x, int peak)
{
    double top = 0;
    for (double v : x)
        top = std::max(top, std::fabs(v));
    std::vector<int8_t> out(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        out[i] = static_cast<int8_t>(std::lround(top > 0 ? x[i] / top * peak : 0));
    return out;
}

size_t even(double n) { return static_cast<size_t>(n) & ~size_t(1); }

// Linear fade of the last `seconds`, and a first sample of exactly 0.
void seal_one_shot(std::vector<double>& x, double rate, double seconds)
{
    size_t n = std::min(x.size(), size_t(seconds * rate));
    for (size_t i = 0; i < n; ++i)
        x[x.size() - 1 - i] *= double(i) / n;
    if (!x.empty())
        x[0] = 0;
}

struct Partial {
    double freq;  // Hz at the native rate
    double amp;
    double phase;
};

// A loop of `length` samples (plus the two-byte tail) in which every
// partial completes a whole number of cycles.
std::vector<double> loop_of(size_t length, const std::vector<Partial>& partials)
{
    std::vector<double> x(length + 2, 0.0);
    for (const Partial& p : partials) {
        double cycles = std::round(p.freq * length / NATIVE_RATE);
        if (cycles < 1 || p.freq >= NATIVE_RATE / 2)
            continue;
        for (size_t i = 0; i < x.size(); ++i)
            x[i] += p.amp * std::sin(TWO_PI * cycles * double(i % length) / length + p.phase);
    }
    return x;
}

SampleDef looped(const char* name, std::vector<double> x, int peak, int volume, std::vector<int> chord)
{
    SampleDef s;
    s.name = name;
    s.data = to_pcm(x, peak);
    s.volume = volume;
    s.loop_start = 0;
    s.loop_length = static_cast<uint32_t>(x.size() - 2);
    s.pitched = true;
    s.chord = std::move(chord);
    return s;
}

SampleDef one_shot(const char* name, const std::vector<double>& x, int peak, int volume, bool pitched = false,
                   std::vector<int> chord = {0})
{
    SampleDef s;
    s.name = name;
    s.data = to_pcm(x, peak);
    s.volume = volume;
    s.pitched = pitched;
    s.chord = std::move(chord);
    return s;
}

SampleDef make_kick()
{
    const double rate = DRUM_RATE;
    // 0.34 s: over before the next kick three rows (0.36 s) later, so a
    // kick never cuts its own tail
    std::vector<double> x(even(0.34 * rate));
    double phase = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / rate;
        double f = 46 + 125 * std::exp(-t / 0.032) + 420 * std::exp(-t / 0.003);
        double env = (1 - std::exp(-t / 0.0006)) * std::exp(-t / 0.2);
        x[i] = std::tanh(1.8 * env * std::sin(phase)) / std::tanh(1.8);
        phase += TWO_PI * f / rate;
    }
    seal_one_shot(x, rate, 0.08);
    return one_shot("kick", x, 108, 64);
}

SampleDef make_snare()
{
    const double rate = DRUM_RATE;
    Prng rng{0x5A4E2E};
    std::vector<double> x(even(0.3 * rate));
    double lp = 0, prev = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / rate;
        double n = rng.uniform();
        lp += 0.55 * (n - lp);            // take the hiss off the top
        double bright = lp - 0.6 * prev;  // and the rumble off the bottom
        prev = lp;
        double body = 0.65 * std::sin(TWO_PI * 186 * t) * std::exp(-t / 0.045) +
                      0.3 * std::sin(TWO_PI * 332 * t) * std::exp(-t / 0.025);
        double noise = 0.9 * bright * std::exp(-t / 0.085);
        x[i] = (body + noise) * (1 - std::exp(-t / 0.0005));
    }
    seal_one_shot(x, rate, 0.03);
    return one_shot("snare", x, 104, 52);
}

SampleDef make_hat()
{
    const double rate = METAL_RATE;
    Prng rng{0x4A7};
    std::vector<double> x(even(0.09 * rate));
    double prev = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / rate;
        double n = rng.uniform();
        x[i] = (n - prev) * std::exp(-t / 0.02) * (1 - std::exp(-t / 0.0003));
        prev = n;
    }
    seal_one_shot(x, rate, 0.01);
    return one_shot("hat", x, 96, 28);
}

SampleDef make_crash()
{
    const double rate = METAL_RATE;
    Prng rng{0xC4A54};
    std::vector<double> x(even(1.7 * rate));
    const double metal[6] = {3150, 4370, 5230, 6610, 7920, 9480};
    double prev = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / rate;
        double n = rng.uniform();
        double v = 0.8 * (n - prev);
        prev = n;
        for (int k = 0; k < 6; ++k)
            v += 0.08 * (std::sin(TWO_PI * metal[k] * t) > 0 ? 1 : -1);
        x[i] = v * std::exp(-t / 0.42) * (1 - std::exp(-t / 0.0015));
    }
    seal_one_shot(x, rate, 0.2);
    return one_shot("crash", x, 112, 32);
}

SampleDef make_bass()
{
    // 20 cycles of C2 in 2534 samples: 8287 / 2534 x 20 = 65.41 Hz.
    std::vector<Partial> p;
    for (int n = 1; n <= 24; ++n) {
        double amp = 1.0 / n / (1 + (n / 5.0) * (n / 5.0));
        p.push_back({C4 / 4 * n, amp, 0});
    }
    return looped("bass", loop_of(2534, p), 120, 40, {0});
}

SampleDef make_pad(bool major)
{
    Prng rng{major ? 0x9ADA1u : 0x9AD11u};
    const int third = major ? 4 : 3;
    const int tones[4] = {0, third, 7, 12};
    const double weight[4] = {1.0, 0.8, 0.8, 0.5};
    std::vector<Partial> p;
    for (int v = 0; v < 4; ++v) {
        double f = C4 * std::pow(2.0, tones[v] / 12.0);
        for (int k = 1; k <= 6; ++k) {
            double amp = weight[v] / std::pow(k, 1.5);
            // Two copies a hair apart (about 3 cents) beat slowly: the chorus.
            p.push_back({f * k, amp, TWO_PI * (rng.uniform() + 1) / 2});
            p.push_back({f * k + 0.47 * k, amp * 0.8, TWO_PI * (rng.uniform() + 1) / 2});
        }
    }
    // 17738 samples = 2.14 s: 560 cycles of C4, every tone within 2 cents.
    return looped(major ? "pad major" : "pad minor", loop_of(17738, p), 104, 36, {0, third, 7, 12});
}

SampleDef make_lead()
{
    // 12670 samples hold 400 cycles of C4; the second oscillator runs 401.
    std::vector<Partial> p;
    for (int n = 1; n <= 13; ++n) {
        double pulse = std::sin(std::numbers::pi * n * 0.3) / n;
        p.push_back({C4 * n, 0.6 * pulse, 0});
        p.push_back({C4 * n * 401 / 400, 0.4 * pulse, 1.3 * n});
    }
    return looped("lead", loop_of(12670, p), 112, 36, {0});
}

SampleDef make_chip()
{
    std::vector<Partial> p;
    for (int n = 1; n <= 13; n += 2)
        p.push_back({C4 * n, 1.0 / n, 0});
    return looped("chip", loop_of(2534, p), 110, 24, {0});
}

SampleDef make_pluck()
{
    const double rate = NATIVE_RATE;
    std::vector<double> x(even(0.9 * rate));
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / rate, v = 0;
        for (int n = 1; n <= 14; ++n) {
            double tau = 0.45 / (1 + 0.35 * (n - 1));
            v += std::sin(TWO_PI * C4 * n * t) / std::pow(n, 1.2) * std::exp(-t / tau);
        }
        x[i] = v * (1 - std::exp(-t / 0.001));
    }
    seal_one_shot(x, rate, 0.03);
    return one_shot("pluck", x, 120, 28, true, {0});
}

SampleDef make_stab()
{
    // A bare fifth with octaves, so it fits major and minor chords alike.
    const double rate = NATIVE_RATE;
    const double tones[4] = {C4 / 2, C4, C4 * 1.4983, C4 * 2};
    const double weight[4] = {0.6, 1.0, 0.8, 0.6};
    std::vector<double> x(even(0.36 * rate));
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / rate, v = 0;
        for (int k = 0; k < 4; ++k)
            for (int n = 1; n * tones[k] < 3900; ++n)
                v += weight[k] * std::sin(TWO_PI * tones[k] * n * t) / n;
        double env = t < 0.02 ? 1 : std::exp(-(t - 0.02) / 0.09);
        x[i] = v * env * (1 - std::exp(-t / 0.0008));
    }
    seal_one_shot(x, rate, 0.03);
    return one_shot("stab", x, 120, 40, true, {-12, 0, 7, 12});
}

// A biquad band-pass (constant peak gain), one sample at a time.
struct BandPass {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double step(double x, double centre, double q, double rate)
    {
        double w = TWO_PI * centre / rate, alpha = std::sin(w) / (2 * q);
        double a0 = 1 + alpha;
        double y = (alpha * x - alpha * x2 + 2 * std::cos(w) * y1 - (1 - alpha) * y2) / a0;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

SampleDef make_riser()
{
    // Exactly 32 rows long at C-3.
    const double rate = DRUM_RATE;
    Prng rng{0x215E5};
    std::vector<double> x(even(32 * SPEED * TICK_FRAMES / double(SAMPLE_RATE) * rate));
    BandPass bp;
    double phase = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        double u = double(i) / x.size();
        double centre = 300 * std::pow(2.0, 4.3 * u);
        double noise = bp.step(rng.uniform(), centre, 2.5, rate);
        double tone = 0.25 * std::sin(phase);
        phase += TWO_PI * (180 * std::pow(2.0, 3.0 * u)) / rate;
        x[i] = (noise + tone) * (0.06 + 0.94 * u * u);
    }
    seal_one_shot(x, rate, 0.012);
    return one_shot("riser", x, 116, 32);
}

SampleDef make_impact()
{
    const double rate = DRUM_RATE;
    Prng rng{0x1A9AC7};
    std::vector<double> x(even(2.6 * rate));
    double phase = 0, lp = 0, rumble = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / rate;
        double n = rng.uniform();
        lp += 0.3 * (n - lp);
        rumble += 0.02 * (n - rumble);
        double f = 31 + 75 * std::exp(-t / 0.1) + 300 * std::exp(-t / 0.004);
        double boom = std::sin(phase) * std::exp(-t / 0.85);
        phase += TWO_PI * f / rate;
        double v = boom + 0.7 * lp * std::exp(-t / 0.05) + 2.5 * rumble * std::exp(-t / 0.6);
        x[i] = std::tanh(1.5 * v * (1 - std::exp(-t / 0.0006)));
    }
    seal_one_shot(x, rate, 0.3);
    return one_shot("impact", x, 124, 64);
}

}  // namespace

double playback_rate(int period) { return double(PERIOD_CLOCK) / period; }

std::vector<SampleDef> make_samples()
{
    std::vector<SampleDef> s;
    s.push_back(make_kick());
    s.push_back(make_snare());
    s.push_back(make_hat());
    s.push_back(make_crash());
    s.push_back(make_bass());
    s.push_back(make_pad(false));
    s.push_back(make_pad(true));
    s.push_back(make_lead());
    s.push_back(make_pluck());
    s.push_back(make_chip());
    s.push_back(make_stab());
    s.push_back(make_riser());
    s.push_back(make_impact());
    return s;
}
