// The one clock. Every read of the time (the frame's `now`, the player's row
// stamps, the overlay fades) goes through clock_ms(), so a headless renderer
// can run the whole show on a virtual clock, frame-exact.
//
// Entry points:
//   clock_ms()               milliseconds from the clock's source
//   clock_set_source(fn)     read the time from fn instead (the programs plug
//                            in SDL's tick counter, capture a virtual clock);
//                            nullptr restores the default, milliseconds of
//                            the process's steady clock since its first read
#pragma once

#include <cstdint>

using ClockSource = uint32_t (*)();

uint32_t clock_ms();
void clock_set_source(ClockSource source);
