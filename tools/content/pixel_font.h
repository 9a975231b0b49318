// The demo's own 5x7 pixel font: upper-case letters, digits and a little
// punctuation (lower case is drawn as upper case).
//
// Entry points:
//   text_width(text, sx, gap)                 width in pixels at scale sx
//   text_mask(text, sx, sy, gap)              coverage mask of the text, each
//                                             font pixel sx by sy pixels
//   stamp_text(mask, text, x, y, sx, sy, gap) the same, into an existing mask
#pragma once

#include "tools/content/mask.h"

#include <string_view>

inline constexpr int font_w = 5;
inline constexpr int font_h = 7;

int text_width(std::string_view text, int sx, int gap);
Mask text_mask(std::string_view text, int sx, int sy, int gap);
void stamp_text(Mask& mask, std::string_view text, int x, int y, int sx, int sy, int gap);
