// Getting a finished 320x240 frame onto the display surface.
//
// Entry points:
//   present_fix_colour(canvas, red_mask)      put every pixel in the display's order:
//                                             red mask 0x00FF0000 leaves it alone,
//                                             0x000000FF swaps red and blue
//                                             (0xAARRGGBB -> 0xAABBGGRR), any other
//                                             reverses its bytes (-> 0xBBGGRRAA)
//   present_copy(canvas, surface, pitch)      one canvas pixel per surface pixel
//   present_double(canvas, surface, pitch)    each canvas pixel onto a 2x2 block
//
// `surface` is the locked surface's pixel memory and `pitch` its row length
// in bytes, which may be more than the pixels need.
#pragma once

#include "core/frame_buffer.h"

#include <cstdint>

constexpr uint32_t PRESENT_NATIVE_RED_MASK = 0x00FF0000;
constexpr uint32_t PRESENT_SWAPPED_RED_MASK = 0x000000FF;

void present_fix_colour(FrameView canvas, uint32_t red_mask);
void present_copy(std::span<const uint32_t, FRAME_PIXELS> canvas, uint8_t* surface, int32_t pitch);
void present_double(std::span<const uint32_t, FRAME_PIXELS> canvas, uint8_t* surface, int32_t pitch);
