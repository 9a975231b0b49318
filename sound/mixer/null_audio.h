// A back-end with no device: the mixer runs, nothing is played. It is what
// the driver table holds from the start, so the player always has slots to
// call; the player's tests and tools drive the mixer through it and fetch
// the sound themselves with mixer_mix.
//
// Entry points:
//   null_audio_table()                the table of this back-end, a constant:
//                                     init = mixer_init, start, stop and close
//                                     do nothing (null_audio_nothing), the
//                                     mixer's nine voice slots; no name, the
//                                     SoundDriver defaults
//   null_audio_install(rate, frames)  puts its 13 slots into sound_driver,
//                                     names it "null audio", records rate
//                                     and frames (the error text is kept); 1
#pragma once

#include <cstdint>

#include "sound/mixer/mixer.h"
#include "sound/mixer/sound_driver.h"

void null_audio_nothing();

constexpr SoundDriver null_audio_table()
{
    // Back-end slots first, then the mixer's nine.
    SoundDriver d;
    d.init = mixer_init;
    d.start = null_audio_nothing;
    d.stop = null_audio_nothing;
    d.close = null_audio_nothing;
    mixer_fill_driver(d);
    return d;
}

int32_t null_audio_install(int32_t rate, int32_t buffer_frames);
