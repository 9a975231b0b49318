// The table of operations between the module player and the audio side.
//
// The player never touches voices, samples or the device directly: it goes
// through `sound_driver`. A back-end fills its four device slots first
// (init, start, stop, close), then the mixer fills its nine voice slots.
// The table starts as the null back-end (no device, the mixer behind it),
// so no slot is ever empty and callers never test one.
//
// Entry points:
//   sound_driver             the one process-wide table
//   sound_driver_reset()     back to the start-of-program state: the null
//                            back-end's slots, no name, no error text
//   mixer_fill_driver(d)     the mixer puts in its nine slots (mixer.h)
//   null_audio_install(r, f) the back-end with no device (null_audio.h)
//
// Units: sample numbers 1..31 (slot 0 exists, unused), voice numbers 0..31,
// positions and lengths in bytes of signed 8-bit PCM, periods as in MOD files
// (0 holds the voice still), volume 0..64 (larger scales linearly), pan
// 0..255 (255 = all in the first sample of a frame), master volume 0..252.
#pragma once

#include <cstdint>

#include "core/sound_rates.h"

struct SoundDriver {
    const char* name = "";              // "SDL audio" or "null audio" once one is installed
    const char* error_text = "";        // "SDL audio error" when the device would not open
    int32_t output_rate = SAMPLE_RATE;  // Hz, as last asked of the device
    int32_t buffer_frames = 512;        // frames per device buffer, as granted

    // Slots, in their fixed order. A SoundDriver made here has none; the
    // process-wide table starts with the null back-end's.
    int32_t (*define_sample)(int32_t sample, const int8_t* data, uint32_t end, uint32_t loop_start,
                             uint32_t loop_end, int32_t loop) = nullptr;
    void (*select_voice)(int32_t voice) = nullptr;
    void (*set_voice_sample)(int32_t sample) = nullptr;
    void (*set_voice_count)(int32_t count) = nullptr;
    void (*set_voice_offset)(uint32_t position) = nullptr;
    void (*set_voice_volume)(int32_t volume) = nullptr;
    void (*set_voice_pan)(int32_t pan) = nullptr;
    void (*init)(int32_t rate, int32_t buffer_frames) = nullptr;
    void (*set_master_volume)(int32_t volume) = nullptr;
    void (*start)() = nullptr;
    void (*set_voice_period)(int32_t period) = nullptr;
    void (*stop)() = nullptr;
    void (*close)() = nullptr;
};

extern SoundDriver sound_driver;

void sound_driver_reset();
