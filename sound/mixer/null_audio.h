// A back-end with no device: the mixer runs, nothing is played. The player's
// tests and tools drive the mixer through the full table with it, and fetch
// the sound themselves with mixer_mix.
//
// Entry points:
//   null_audio_install(rate, frames)  fills all 13 slots of sound_driver
//                                     (init = mixer_init; start, stop and
//                                     close do nothing), names it "null
//                                     audio", records rate and frames; 1
#pragma once

#include <cstdint>

int32_t null_audio_install(int32_t rate, int32_t buffer_frames);
