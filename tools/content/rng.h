// A small seeded generator (splitmix64) so that every picture and the fit
// draw the same numbers on every run, independent of the C library's rand.
//
// Entry points:
//   Rng{seed}.next()          64 random bits
//   Rng::uniform()            float in [0, 1)
//   Rng::range(lo, hi)        int in [lo, hi], inclusive
//   hash2(x, y, seed)         stateless 32-bit hash of a lattice point
#pragma once

#include <cstdint>

struct Rng {
    uint64_t state;

    uint64_t next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    float uniform() { return float(next() >> 40) * (1.0f / 16777216.0f); }
    int range(int lo, int hi) { return lo + int(next() % uint64_t(hi - lo + 1)); }
};

inline uint32_t hash2(int x, int y, uint32_t seed)
{
    uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// hash2 scaled to [0, 1).
inline float hash01(int x, int y, uint32_t seed)
{
    return float(hash2(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}
