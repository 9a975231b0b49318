// Shared pieces of the overlay, sprite and credit pictures: glass panels
// and glowing text and strokes, always kept inside a given rectangle so the
// picture stays transparent outside it.
//
// Entry points:
//   Rect                                     inclusive pixel rectangle
//   glass_panel(cv, r, tint, alpha, edge)    translucent plate with a lit rim
//   neon_text(cv, clip, text, x, y, sx, sy, gap, colour, halo)
//                                            pixel-font text with a glow
//   neon_path(cv, clip, path, radius, colour, halo)
//                                            a stroked path with a glow
//   shade_band(cv, r, colour, alpha, fade)   a translucent band over r's rows,
//                                            fading out over `fade` rows at
//                                            its top and bottom
//   clip_to(cv, r)                           clears everything outside r
//   centred_x(text, sx, gap, x0, x1)         left edge that centres text
//   overlay_area(picture)                    the rectangle the overlay
//                                            schedule shows the picture in
#pragma once

#include "gfx/picture/picture_list.h"
#include "tools/content/canvas.h"
#include "tools/content/strokes.h"

#include <string_view>

struct Rect {
    int x0, y0, x1, y1;
};

void glass_panel(Canvas& cv, Rect r, Rgb tint, float alpha, Rgb edge);
void neon_text(Canvas& cv, Rect clip, std::string_view text, int x, int y, int sx, int sy, int gap,
               Rgb colour, float halo);
void neon_path(Canvas& cv, Rect clip, const Path& path, float radius, Rgb colour, float halo);
void shade_band(Canvas& cv, Rect r, Rgb colour, float alpha, float fade);
void clip_to(Canvas& cv, Rect r);
int centred_x(std::string_view text, int sx, int gap, int x0, int x1);
Rect overlay_area(PictureId picture);
