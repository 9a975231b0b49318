// Old-film wear laid over every finished frame: a darkened vertical scratch,
// a spray of darkened specks and one black blotch, all placed by the time
// argument alone (no random numbers, no state).
//
// Entry points:
//   fx_film_damage(frame, t)   t = clock ms at the frame's start / 20
//
// The scratch shows in one second out of four (t / 50 mod 4 = 3), on three
// values of t out of four; 10 to 19 specks fall on every frame; the blotch is
// a 4x4 mask that is black, alpha 0 included. Darkening is the halving
// (v >> 1) & 0x7F7F7F, which clears alpha.
#pragma once

#include "core/frame_buffer.h"

#include <cstdint>

void fx_film_damage(FrameView frame, int32_t t);
