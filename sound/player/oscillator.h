// Vibrato and tremolo: a position running round a 64-entry waveform at a
// speed, scaled by a depth. Every channel has one of each; which waveform
// they read is chosen song-wide (E4x, E7x).
//
// Entry points:
//   Oscillator                    position, speed, depth of one of them
//   osc_set(o, speed, depth)      a 4xy / 7xy cell: each nonzero value replaces
//                                 the one kept, zero keeps it
//   osc_next(o, wave)             depth x wave[position] / 127 (truncated
//                                 toward zero), then position += speed, mod 64
//   osc_waveform(number, ramp, random)   waveform 0..3: sine, ramp, square,
//                                 random (the last two bits of the number)
#pragma once

#include <cstdint>

#include "sound/player/tables.h"

struct Oscillator {
    int32_t position = 0;  // 0..63 in the waveform
    int32_t speed = 0;     // 0..15, added to the position on every later tick
    int32_t depth = 0;     // vibrato 0..15, a swing of up to 2 x depth periods;
                           // tremolo twice the effect digit, 0..30 volume steps
};

inline void osc_set(Oscillator& o, int32_t speed, int32_t depth)
{
    if (depth != 0)
        o.depth = depth;
    if (speed != 0)
        o.speed = speed;
}

inline int32_t osc_next(Oscillator& o, const Waveform& wave)
{
    const int32_t offset = o.depth * wave[o.position] / 127;
    o.position = (o.position + o.speed) & 63;
    return offset;
}

inline const Waveform& osc_waveform(int32_t number, const Waveform& ramp, const Waveform& random)
{
    switch (number & 3) {
    case 0:
        return SineWave;
    case 1:
        return ramp;
    case 2:
        return SquareWave;
    default:
        return random;
    }
}
