// The rectangles of the fly-in painting: 3000 records in drawing order,
// coarse to fine, generated at build time by tools/content from the emblem
// picture (pic07) and compiled in as constant data.
//
// Entry points:
//   FlyinRect      one rectangle at rest
//   flyin_rects    the 3000 records, read-only
//
// The fly-in marks a landed record by setting x to -10000 and reduces grey to
// its low byte, so it copies these records into its own working array at
// init and never writes here.
#pragma once

#include <array>
#include <cstdint>

struct FlyinRect {
    int32_t x;          // left column at rest, -16..317
    int32_t y;          // top row at rest, -17..237
    int32_t w;          // width minus one, 3..35
    int32_t h;          // height minus one, 3..35
    int32_t grey;       // 0x40GGGGGG, G = 0..244 (a multiple of 4: the blend uses grey >> 2)
    int32_t reserved0;  // always 0
    int32_t reserved1;  // always 0
};

inline constexpr int FLYIN_RECT_COUNT = 3000;

extern const std::array<FlyinRect, FLYIN_RECT_COUNT> flyin_rects;
