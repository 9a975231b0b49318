// The one wall clock. Every read of the time (the frame's `now`, the
// player's row stamps, the overlay fades) goes through clock_ms(), so a
// headless renderer can run the whole show on a virtual clock, frame-exact.
//
// Entry points:
//   clock_ms()               milliseconds since SDL started (SDL_GetTicks)
//   clock_set_source(fn)     read the time from fn instead; nullptr restores SDL
#pragma once

#include <cstdint>

using ClockSource = uint32_t (*)();

uint32_t clock_ms();
void clock_set_source(ClockSource source);
