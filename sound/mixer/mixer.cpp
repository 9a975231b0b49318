#include "sound/mixer/mixer.h"

#include "core/sound_rates.h"
#include "sound/mixer/sound_driver.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

struct MixerState {
    std::array<Voice, MIXER_VOICE_MAX> pending{};
    std::array<Voice, MIXER_VOICE_MAX> active{};
    std::array<SampleSlot, MIXER_SAMPLE_MAX> samples{};
    int32_t selected = 0;
    int32_t master_volume = 63;
    int32_t voice_count = 4;
    int32_t mix_rate = SAMPLE_RATE;
};

MixerState mixer;

Voice& selected_voice() { return mixer.pending[mixer.selected]; }

// A voice's bounds as the resampler uses them, made safe for the data it was
// given: every index it reads lies in 0 .. end-1.
//
// A loop that lies inside the data (loop start < loop end < end) plays
// exactly as set. The loader hands over loop end = loop start + loop length,
// so a loop that runs to the end of its sample has loop end = end, and the
// position then reaches end once per pass. That byte lies outside the
// sample; the voice reads the loop start there instead, the byte the loop
// wraps round to, so the loop keeps its length (and its pitch). A loop end
// further out is taken as end. A loop start at or past the end leaves the
// loop nothing inside the data: the sample plays once.
struct VoiceBounds {
    uint32_t last_direct;  // highest index read as it stands
    uint32_t bound;        // a looping voice wraps once its position passes this
    uint32_t wrap_to;      // where it wraps to
    uint32_t at_end;       // index read in place of `end` (a loop reaching the end)
    bool loop;
};

VoiceBounds voice_bounds(const Voice& v)
{
    const uint32_t last = v.end - 1;  // end > 0 here
    if (v.loop && v.loop_start < v.end) {
        const uint32_t bound = std::min(v.loop_end, v.end);
        return {std::min(bound, last), bound, v.loop_start + 1, v.loop_start, true};
    }
    return {last, last, 0, 0, false};
}

inline void add_frame(int16_t* frame, int32_t s, uint32_t first_gain, uint32_t second_gain)
{
    // Products and sums modulo 2^16: the output wraps, it does not clip.
    frame[0] = int16_t(uint16_t(uint32_t(frame[0]) + first_gain * uint32_t(s)));
    frame[1] = int16_t(uint16_t(uint32_t(frame[1]) + second_gain * uint32_t(s)));
}

// The wide output keeps the true sum. It is still summed modulo 2^32, so
// its low 16 bits are always what the 16-bit output holds.
inline void add_frame(int32_t* frame, int32_t s, uint32_t first_gain, uint32_t second_gain)
{
    frame[0] = int32_t(uint32_t(frame[0]) + first_gain * uint32_t(s));
    frame[1] = int32_t(uint32_t(frame[1]) + second_gain * uint32_t(s));
}

// Frames a stretch is cut into: its samples are gathered first, then added.
constexpr int32_t CHUNK_FRAMES = 256;

// Reads the samples of n frames that all stay inside the data, advancing
// before each read. Four positions a frame apart, each stepping four frames,
// make four independent adds instead of one long chain. Returns the position
// after the last frame.
[[gnu::always_inline]] inline uint64_t gather(const int8_t* data, uint64_t pos, uint64_t step, int32_t n,
                                              int16_t* samples)
{
    int32_t k = 0;
    uint64_t p0 = pos + step, p1 = p0 + step, p2 = p1 + step, p3 = p2 + step;
    const uint64_t step4 = 4 * step;
    for (; k + 4 <= n; k += 4) {
        samples[k] = data[p0 >> 32];
        samples[k + 1] = data[p1 >> 32];
        samples[k + 2] = data[p2 >> 32];
        samples[k + 3] = data[p3 >> 32];
        p0 += step4, p1 += step4, p2 += step4, p3 += step4;
    }
    pos += uint64_t(k) * step;  // no wrap: every position of a stretch is below its limit
    for (; k < n; ++k) {
        pos += step;
        samples[k] = data[pos >> 32];
    }
    return pos;
}

// Adds n gathered samples into n frames at the two gains.
[[gnu::always_inline]] inline void add_samples(int16_t* frame, const int16_t* samples, int32_t n,
                                               uint32_t first_gain, uint32_t second_gain)
{
    int32_t k = 0;
#if defined(__SSE2__)
    // Eight frames at a time, both gains side by side: the low half of a
    // 16-bit multiply is all the wrap-around keeps.
    const __m128i gains = _mm_set1_epi32(int32_t((second_gain & 0xFFFFu) << 16 | (first_gain & 0xFFFFu)));
    for (; k + 8 <= n; k += 8, frame += 16) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + k));
        __m128i* o = reinterpret_cast<__m128i*>(frame);
        const __m128i lo = _mm_mullo_epi16(_mm_unpacklo_epi16(s, s), gains);
        const __m128i hi = _mm_mullo_epi16(_mm_unpackhi_epi16(s, s), gains);
        _mm_storeu_si128(o, _mm_add_epi16(_mm_loadu_si128(o), lo));
        _mm_storeu_si128(o + 1, _mm_add_epi16(_mm_loadu_si128(o + 1), hi));
    }
#endif
    for (; k < n; ++k, frame += 2)
        add_frame(frame, samples[k], first_gain, second_gain);
}

[[gnu::always_inline]] inline void add_samples(int32_t* frame, const int16_t* samples, int32_t n,
                                               uint32_t first_gain, uint32_t second_gain)
{
    int32_t k = 0;
#if defined(__SSE2__)
    // Four frames at a time. While both gains fit in 16 signed bits the
    // 16 x 16 -> 32-bit multiply-add gives each product exactly, and the
    // 32-bit adds wrap as the scalar sums do.
    if (first_gain <= 32767 && second_gain <= 32767) {
        const __m128i gains = _mm_set_epi32(int32_t(second_gain), int32_t(first_gain), int32_t(second_gain),
                                            int32_t(first_gain));
        for (; k + 4 <= n; k += 4, frame += 8) {
            // Samples s0..s3 in the low halves of four lanes, high halves 0.
            const __m128i s = _mm_unpacklo_epi16(
                _mm_loadl_epi64(reinterpret_cast<const __m128i*>(samples + k)), _mm_setzero_si128());
            const __m128i lo = _mm_madd_epi16(_mm_shuffle_epi32(s, _MM_SHUFFLE(1, 1, 0, 0)), gains);
            const __m128i hi = _mm_madd_epi16(_mm_shuffle_epi32(s, _MM_SHUFFLE(3, 3, 2, 2)), gains);
            __m128i* o = reinterpret_cast<__m128i*>(frame);
            _mm_storeu_si128(o, _mm_add_epi32(_mm_loadu_si128(o), lo));
            _mm_storeu_si128(o + 1, _mm_add_epi32(_mm_loadu_si128(o + 1), hi));
        }
    }
#endif
    for (; k < n; ++k, frame += 2)
        add_frame(frame, samples[k], first_gain, second_gain);
}

// Resamples one active voice into out (or only advances it when out is null).
// Per frame: advance the 32.32 position, check the bound, read, add. The loop
// runs in stretches: from the position and step it works out how many frames
// stay inside the bound, runs those with no check at all, and then takes the
// one frame that crosses the bound the slow way. The result is the same as
// checking every frame. Out is int16_t (the program's output) or int32_t
// (the wide mix); the voice advances the same way into either.
template <typename Out>
void mix_voice(Voice& v, Out* out, int32_t frames, uint32_t first_gain, uint32_t second_gain)
{
    const VoiceBounds b = voice_bounds(v);
    const int8_t* const data = v.data;
    // 32.32 position and step in one word each: the 64-bit add carries the
    // fraction into the position, and wraps the position modulo 2^32.
    uint64_t pos = uint64_t(v.position) << 32 | v.position_frac;
    const uint64_t step = uint64_t(v.step) << 32 | v.step_frac;
    const uint64_t limit = (uint64_t(b.last_direct) + 1) << 32;  // first position not read directly

    int32_t done = 0;
    while (done < frames) {
        if (pos < limit) {
            // Advances that keep the position among the indices read directly.
            const uint64_t room = limit - 1 - pos;
            const uint64_t safe = step ? room / step : UINT64_MAX;
            const int32_t n = int32_t(std::min<uint64_t>(safe, uint64_t(frames - done)));
            if (out) {
                int16_t samples[CHUNK_FRAMES];
                for (int32_t k = 0; k < n; k += CHUNK_FRAMES) {
                    const int32_t m = std::min(CHUNK_FRAMES, n - k);
                    pos = gather(data, pos, step, m, samples);
                    add_samples(out + 2 * (done + k), samples, m, first_gain, second_gain);
                }
            } else {
                pos += uint64_t(n) * step;
            }
            done += n;
            if (done == frames)
                break;
        }
        // This frame leaves the indices read directly: the voice wraps,
        // finishes or reads the byte at a loop's end (or its position stood
        // past its bounds already, after a change of sample).
        pos += step;
        uint32_t index = uint32_t(pos >> 32);
        if (index > b.bound) {
            if (!b.loop) {
                // A one-shot ends here: nothing more from it in this call.
                v.volume = 0;
                v.position = 0;
                v.position_frac = uint32_t(pos);
                v.step = 0;
                v.step_frac = 0;
                v.finished = 1;
                return;
            }
            index = b.wrap_to;
            pos = uint64_t(index) << 32 | (pos & 0xFFFFFFFFu);  // fraction kept
        }
        if (out)
            add_frame(out + 2 * done, data[index < v.end ? index : b.at_end], first_gain, second_gain);
        ++done;
    }
    v.position = uint32_t(pos >> 32);
    v.position_frac = uint32_t(pos);
}

// Pending into active for one voice. Position and step only move when the
// player set them; the active record's progress never goes back to pending.
void commit(Voice& pending, Voice& active)
{
    const uint32_t position = active.position;
    const uint32_t position_frac = active.position_frac;
    const uint32_t step = active.step;
    const uint32_t step_frac = active.step_frac;
    const int32_t finished = active.finished;

    active = pending;
    if (pending.position_changed) {
        pending.position_changed = 0;
        active.finished = 0;  // a note start wakes a finished voice
    } else {
        active.position = position;
        active.position_frac = position_frac;
        active.finished = finished;
    }
    if (pending.step_changed) {
        pending.step_changed = 0;
    } else {
        active.step = step;
        active.step_frac = step_frac;
    }
}

Voice initial_voice()
{
    Voice v;
    v.pan = 127;
    v.step_changed = 1;
    v.position_changed = 1;
    return v;
}

}  // namespace

VoiceStep mixer_period_to_step(int32_t period, int32_t rate)
{
    // Period 0 holds the voice still. So does a negative period (vibrato on
    // the highest notes can reach -3), which would otherwise run the voice
    // backwards through its data. A rate of 0 or below has no steps (and
    // would divide by 0).
    if (period <= 0 || rate <= 0)
        return {};
    VoiceStep s;
    s.step = uint32_t((PERIOD_CLOCK / period) / rate);
    const double x = double(PERIOD_CLOCK) / (double(period) * double(rate));
    double whole;
    const double fraction = std::modf(x, &whole);
    s.fraction = uint32_t(int32_t(fraction * 16777216.0)) << 8;  // 24 bits, at the top
    return s;
}

VoiceGains mixer_gains(int32_t volume, int32_t pan, int32_t master_volume)
{
    const uint32_t v = uint32_t(volume);
    const uint32_t p = uint32_t(pan);
    const uint32_t m = uint32_t(master_volume);
    return {((m * v * p) >> 7) / 63, (((255u - p) * v * m) >> 7) / 63};
}

void mixer_init(int32_t rate, int32_t /*buffer_frames*/)
{
    mixer.mix_rate = rate;
    mixer.pending.fill(initial_voice());
    mixer.active.fill(initial_voice());
    mixer.samples.fill(SampleSlot{});
}

namespace {

template <typename Out> void mix_voices(Out* out, int32_t frames)
{
    const int32_t count = std::min(mixer.voice_count, MIXER_VOICE_MAX);
    for (int32_t i = 0; i < count; ++i)
        commit(mixer.pending[i], mixer.active[i]);
    for (int32_t i = 0; i < count; ++i) {
        Voice& v = mixer.active[i];
        if (v.end == 0 || v.volume == 0 || v.data == nullptr || v.finished)
            continue;  // skipped voices do not advance
        const VoiceGains g = mixer_gains(v.volume, v.pan, mixer.master_volume);
        mix_voice(v, out, frames, g.first, g.second);
    }
}

}  // namespace

void mixer_mix(int16_t* out, int32_t frames) { mix_voices(out, frames); }

void mixer_mix_wide(int32_t* out, int32_t frames) { mix_voices(out, frames); }

int32_t mixer_define_sample(int32_t sample, const int8_t* data, uint32_t end, uint32_t loop_start,
                            uint32_t loop_end, int32_t loop)
{
    if (sample < 0 || sample >= MIXER_SAMPLE_MAX)
        return 0;  // no such slot
    mixer.samples[sample] = {data, end, loop_start, loop_end, loop};
    return 1;
}

void mixer_select_voice(int32_t voice)
{
    if (voice >= 0 && voice < MIXER_VOICE_MAX)
        mixer.selected = voice;  // out of range: the selection stays
}

void mixer_set_voice_sample(int32_t sample)
{
    if (sample < 0 || sample >= MIXER_SAMPLE_MAX)
        return;
    const SampleSlot& s = mixer.samples[sample];
    Voice& v = selected_voice();
    v.data = s.data;
    v.end = s.end;
    v.loop_start = s.loop_start;
    v.loop_end = s.loop_end;
    v.loop = s.loop;
    v.sample = sample;
}

void mixer_set_voice_count(int32_t count) { mixer.voice_count = count; }

void mixer_set_voice_offset(uint32_t position)
{
    Voice& v = selected_voice();
    if (position > v.loop_end)
        v.loop = 0;  // starting past the loop plays the rest once
    if (position < v.end) {
        v.position = position;
        v.position_frac = 0;
        v.position_changed = 1;
    }
}

void mixer_set_voice_volume(int32_t volume) { selected_voice().volume = volume; }

void mixer_set_voice_pan(int32_t pan) { selected_voice().pan = pan; }

void mixer_set_master_volume(int32_t volume)
{
    mixer.master_volume = std::min(volume, MIXER_MASTER_VOLUME_MAX);
}

void mixer_set_voice_period(int32_t period)
{
    const VoiceStep s = mixer_period_to_step(period, mixer.mix_rate);
    mixer_set_voice_step(s.step, s.fraction);
}

void mixer_set_voice_step(uint32_t step, uint32_t fraction)
{
    Voice& v = selected_voice();
    v.step = step;
    v.step_frac = fraction;
    v.step_changed = 1;
}

MixerView mixer_view()
{
    return {mixer.pending,       mixer.active,      mixer.samples, mixer.selected,
            mixer.master_volume, mixer.voice_count, mixer.mix_rate};
}

void mixer_reset() { mixer = MixerState{}; }
