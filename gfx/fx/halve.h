// Halving a pixel, the darkening of the film damage and of the dots' crosses.
//
// Entry points:
//   fx_halve(v)   (v >> 1) & 0x7F7F7F: each colour channel halved, alpha
//                 cleared; no bit crosses into the next channel, so two
//                 halves add without carrying
#pragma once

#include <cstdint>

constexpr uint32_t fx_halve(uint32_t v) { return (v >> 1) & 0x7F7F7F; }
