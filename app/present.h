// Getting a finished 320x240 frame onto the display surface.
//
// Entry points:
//   present_fix_colour(canvas, red_mask)      when the display's red mask is not
//                                             0x00FF0000, reverse the bytes of every
//                                             pixel (0xAARRGGBB -> 0xBBGGRRAA)
//   present_copy(canvas, surface, pitch)      one canvas pixel per surface pixel
//   present_double(canvas, surface, pitch)    each canvas pixel onto a 2x2 block
//
// `surface` is the locked surface's pixel memory and `pitch` its row length
// in bytes, which may be more than the pixels need.
#pragma once

#include "core/frame_buffer.h"

#include <cstdint>

constexpr uint32_t PRESENT_NATIVE_RED_MASK = 0x00FF0000;

void present_fix_colour(FrameView canvas, uint32_t red_mask);
void present_copy(std::span<const uint32_t, FRAME_PIXELS> canvas, uint8_t* surface, int32_t pitch);
void present_double(std::span<const uint32_t, FRAME_PIXELS> canvas, uint8_t* surface, int32_t pitch);
