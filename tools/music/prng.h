// The generator's own random numbers: xorshift64*, seeded per sample, so a
// change to one instrument never shifts the noise of another.
//
// Entry points:
//   Prng{seed}.next()      32 random bits
//   Prng{seed}.uniform()   a double in [-1, 1)
#pragma once

#include <cstdint>

struct Prng {
    uint64_t state;

    uint32_t next()
    {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return static_cast<uint32_t>((state * 2685821657736338717ull) >> 32);
    }
    double uniform() { return next() / 2147483648.0 - 1.0; }
};
