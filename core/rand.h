// The show's one random number generator: the interface of the C library's
// rand and srand, and exactly the sequence glibc's rand gives, so that every
// frame and every sample is the same whichever C library the show is built
// on (glibc, musl, the browser's).
//
// Entry points:
//   core_rand()          the next number, 0 .. CORE_RAND_MAX
//   core_srand(seed)     start the sequence again from `seed`; before any
//                        call the sequence is that of seed 1, as rand's is
//
// The generator is glibc's default one: an additive lagged-Fibonacci
// generator over 31 words (x[i] = x[i-3] + x[i-31] mod 2^32, each result the
// word shifted right by one), its words seeded by the multiplicative
// congruential generator 16807 * x mod (2^31 - 1) and its first 310 results
// thrown away. It is not thread-safe; the show calls it from one thread.
#pragma once

#include <cstdint>

constexpr int CORE_RAND_MAX = 2147483647;

int core_rand();
void core_srand(uint32_t seed);
