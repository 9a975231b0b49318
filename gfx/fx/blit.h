// Laying a picture over the frame by its alpha byte.
//
// Entry points:
//   fx_alpha_over(s, d)                 one source word over one frame word
//   fx_alpha_row(dst, src, n)           n words over n words, the same rule
//   fx_blit_rect(dst, src, x, y, w, h)  a rectangle of a full-screen picture
//                                       onto the same place of the frame
//
// The alpha rule, for source alpha a = s >> 24:
//   a 0..7      transparent, d stays;
//   a 251..255  opaque, d becomes s, alpha byte included;
//   a 8..250    each of red, green, blue is (a * S >> 8) + ((255 - a) * D >> 8),
//               the two products floored apart, and the alpha byte is 0.
// The weight 255 - a (not 256 - a) keeps the largest sum at 254, so no
// channel carries into the next.
#pragma once

#include "core/frame_buffer.h"

#include <cstdint>

inline uint32_t fx_alpha_over(uint32_t s, uint32_t d)
{
    const uint32_t a = s >> 24;
    if (a < 8)
        return d;
    if (a > 250)
        return s;
    const uint32_t b = 255 - a;
    const uint32_t red = ((a * ((s >> 16) & 255)) >> 8) + ((b * ((d >> 16) & 255)) >> 8);
    const uint32_t green = ((a * ((s >> 8) & 255)) >> 8) + ((b * ((d >> 8) & 255)) >> 8);
    const uint32_t blue = ((a * (s & 255)) >> 8) + ((b * (d & 255)) >> 8);
    return red << 16 | green << 8 | blue;
}

// Four words at a time where the machine allows; the result is the same as
// fx_alpha_over on each word.
void fx_alpha_row(uint32_t* dst, const uint32_t* src, int32_t n);

// `src` is read 320 words a row at the rectangle's own coordinates. The
// rectangle is clipped to the frame: the part outside is not drawn.
void fx_blit_rect(FrameView dst, std::span<const uint32_t, FRAME_PIXELS> src, int32_t x, int32_t y, int32_t w,
                  int32_t h);
