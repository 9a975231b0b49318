// Signed 32-bit arithmetic that wraps around modulo 2^32 instead of
// overflowing: the sum, difference or product is taken in uint32_t, where
// wrapping is defined, and read back as two's complement.
//
// Entry points:
//   wrap_add(a, b), wrap_sub(a, b), wrap_mul(a, b)
#pragma once

#include <cstdint>

constexpr int32_t wrap_add(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }
constexpr int32_t wrap_sub(int32_t a, int32_t b) { return int32_t(uint32_t(a) - uint32_t(b)); }
constexpr int32_t wrap_mul(int32_t a, int32_t b) { return int32_t(uint32_t(a) * uint32_t(b)); }
