// The voice mixer: up to 32 voices of signed 8-bit samples, resampled
// nearest-sample with a 32.32 step and added into interleaved 16-bit stereo
// with wrap-around (no clipping).
//
// Every voice has a pending record, written by the voice operations, and an
// active record, which is what plays. Each mixer_mix first commits pending
// into active: everything is copied, except that position and step are taken
// only when set_voice_offset / set_voice_period set them since the last mix.
//
// Entry points:
//   mixer_init(rate, frames)      the back-end's init slot: mix rate, all voices
//                                 and samples reset (master volume and voice
//                                 count kept; frames unused)
//   mixer_mix(out, frames)        commit, then add `frames` stereo frames into
//                                 out; out == nullptr advances the voices alike
//   mixer_mix_wide(out, frames)   the same mix added into 32-bit frames: the
//                                 true sums, not wrapped. int16_t(uint16_t(x))
//                                 of each is what mixer_mix adds (tools that
//                                 measure levels and wrap-around)
//   mixer_fill_driver(d)          puts the nine voice/sample slots into d
//   mixer_define_sample .. mixer_set_voice_period   the nine slot operations
//   mixer_set_voice_step(s, f)    like set_voice_period, with the step itself
//                                 (tests and tools: steps no period gives)
//   mixer_period_to_step(p, r)    the step a period gives at mix rate r
//   mixer_gains(v, p, m)          the two channel gains of a voice
//   mixer_view()                  read-only look at the state (tests, tools)
//   mixer_reset()                 back to the start-of-program state (tests)
//
// Finished one-shots: a voice that plays past the end of a non-looping sample
// goes silent and stays silent until set_voice_offset next takes a position
// for it (a note start, a retrigger, a sample offset). Periods, volumes and
// sample changes alone do not wake it.
//
// Guards beyond the rules: reads stay inside data[0 .. end-1] whatever the
// loop bounds say (see voice_bounds in mixer.cpp); null data is not mixed;
// a period of 0 or below holds the voice; sample and voice numbers outside
// 0..31 are ignored (define_sample then returns 0); a voice count above 32
// mixes 32, one of 0 or below mixes nothing and commits nothing.
//
// Units as in sound_driver.h. Not thread-safe: the caller serialises all calls
// (in the program, under the audio lock).
#pragma once

#include <array>
#include <cstdint>

#include "sound/mixer/sound_driver.h"

struct Voice {
    const int8_t* data = nullptr;  // not owned; points into the loaded module
    int32_t sample = 0;            // last sample number given; informational
    int32_t volume = 0;            // 0..64 normally, larger scales linearly
    uint32_t position_frac = 0;    // 2^32 = one sample
    uint32_t position = 0;         // index into data
    uint32_t step_frac = 0;        // per output frame; only the top 24 bits are set
    uint32_t step = 0;             // whole samples per output frame
    uint32_t loop_start = 0;
    uint32_t loop_end = 0;         // last index played before the loop wraps
    int32_t loop = 0;              // nonzero: loops; zero: plays once up to end
    uint32_t end = 0;              // sample length; 0 = not mixed
    int32_t pan = 0;               // 0..255, 255 = all in the first channel
    int32_t step_changed = 0;      // pending only: take step at the next commit
    int32_t position_changed = 0;  // pending only: take position at the next commit
    int32_t finished = 0;          // active only: a one-shot ran out, silent until
                                   // a position is taken again
};

struct SampleSlot {
    const int8_t* data = nullptr;
    uint32_t end = 0;
    uint32_t loop_start = 0;
    uint32_t loop_end = 0;
    int32_t loop = 0;
};

constexpr int32_t MIXER_VOICE_MAX = 32;
constexpr int32_t MIXER_SAMPLE_MAX = 32;
constexpr int32_t MIXER_MASTER_VOLUME_MAX = 252;

struct VoiceStep {
    uint32_t step = 0;
    uint32_t fraction = 0;
};

struct VoiceGains {
    uint32_t first = 0;   // weighted by pan
    uint32_t second = 0;  // weighted by 255 - pan
};

struct MixerView {
    const std::array<Voice, MIXER_VOICE_MAX>& pending;
    const std::array<Voice, MIXER_VOICE_MAX>& active;
    const std::array<SampleSlot, MIXER_SAMPLE_MAX>& samples;
    int32_t selected_voice;
    int32_t master_volume;
    int32_t voice_count;
    int32_t mix_rate;
};

void mixer_init(int32_t rate, int32_t buffer_frames);
void mixer_mix(int16_t* out, int32_t frames);
void mixer_mix_wide(int32_t* out, int32_t frames);

int32_t mixer_define_sample(int32_t sample, const int8_t* data, uint32_t end, uint32_t loop_start,
                            uint32_t loop_end, int32_t loop);
void mixer_select_voice(int32_t voice);
void mixer_set_voice_sample(int32_t sample);
void mixer_set_voice_count(int32_t count);
void mixer_set_voice_offset(uint32_t position);
void mixer_set_voice_volume(int32_t volume);
void mixer_set_voice_pan(int32_t pan);
void mixer_set_master_volume(int32_t volume);
void mixer_set_voice_period(int32_t period);
void mixer_set_voice_step(uint32_t step, uint32_t fraction);

constexpr void mixer_fill_driver(SoundDriver& d)
{
    d.define_sample = mixer_define_sample;
    d.select_voice = mixer_select_voice;
    d.set_voice_sample = mixer_set_voice_sample;
    d.set_voice_count = mixer_set_voice_count;
    d.set_voice_offset = mixer_set_voice_offset;
    d.set_voice_volume = mixer_set_voice_volume;
    d.set_voice_pan = mixer_set_voice_pan;
    d.set_master_volume = mixer_set_master_volume;
    d.set_voice_period = mixer_set_voice_period;
}

VoiceStep mixer_period_to_step(int32_t period, int32_t rate);
VoiceGains mixer_gains(int32_t volume, int32_t pan, int32_t master_volume);

MixerView mixer_view();
void mixer_reset();
