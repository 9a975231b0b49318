// The colour halftone: a source image redrawn as dots on a staggered grid
// and added onto a destination frame.
//
// Entry points:
//   fx_halftone_init(width, height)    once at start-up: the area (320x240
//                                      in the show) and the disc table
//   fx_halftone(dst, src, strength)    dots of src added onto dst;
//                                      strength 256 = 1.0, the show uses 0..260
//   fx_halftone_disc()                 the 12x12 disc table, row-major
//
// Cells sit 9 pixels apart; every other row of cells is shifted 4 pixels
// right. Each cell takes the average of up to four source samples, byte by
// byte (blue, green, red and alpha alike), and stamps one disc per byte: a
// solid core of 255 whose radius grows with the byte's level, ringed by a
// rim about a pixel wide that adds 256 down to 6, all saturating at 255.
// Discs are 12 pixels wide on the 9-pixel pitch, so neighbours pile up
// where they meet. A level of 6 or less leaves no mark.
#pragma once

#include "core/frame_buffer.h"

#include <array>
#include <cstdint>
#include <span>

constexpr int FX_HALFTONE_PITCH = 9;  // pixels between cell centres
constexpr int FX_HALFTONE_DISC = 12;  // disc table rows and columns

void fx_halftone_init(int32_t width, int32_t height);
void fx_halftone(FrameView dst, std::span<const uint32_t, FRAME_PIXELS> src, int32_t strength);
const std::array<int32_t, FX_HALFTONE_DISC * FX_HALFTONE_DISC>& fx_halftone_disc();
