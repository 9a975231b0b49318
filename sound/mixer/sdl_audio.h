// The SDL audio back-end: opens the device and fills the driver table.
//
// Entry points:
//   sdl_audio_install(rate, frames, callback)  open the device (paused) and
//       fill the four device slots, then the mixer's nine; 1 on success. On
//       failure the error text is "SDL audio error" and no slot changes.
//   sdl_audio_open(rate, frames, callback)     the device part alone, 1/0
//   sdl_audio_play()                           un-pause the device: from now
//       on its buffers are handed to `callback`, silent until then
//
// The device asks for 16-bit signed stereo in the host's byte order whatever
// the rate, since that is all the mixer makes; `frames` is the buffer asked
// for, and sound_driver.buffer_frames what the device granted. Each buffer is
// cleared to silence before `callback` mixes into it.
#pragma once

#include <cstdint>

using SdlAudioCallback = void (*)(void* user, uint8_t* stream, int length);

int32_t sdl_audio_install(int32_t rate, int32_t buffer_frames, SdlAudioCallback callback);
int32_t sdl_audio_open(int32_t rate, int32_t buffer_frames, SdlAudioCallback callback);
void sdl_audio_play();
