// The player on SDL's audio device, or, when there is none, on a pump that
// runs the same callback from the wall clock so the show keeps its time.
//
// Entry points:
//   pt_open_audio(rate, frames)   open the SDL device and the mixer behind it;
//                                 1 = device open, 0 = no device: the mixer then
//                                 runs behind the null back-end, pumped from
//                                 the wall clock once pt_start runs
//   pt_start(rate)                un-pause the device (or start the pump);
//                                 the rate is that of a timer this player
//                                 never needs
#pragma once

#include <cstdint>

int32_t pt_open_audio(int32_t rate, int32_t buffer_frames);
void pt_start(int32_t rate);
