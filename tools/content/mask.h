// Grey coverage masks (0..1), the intermediate form of text, strokes and
// glows before they are painted onto a Canvas.
//
// Entry points:
//   Mask(w, h)                           empty mask
//   blur(mask, radius, passes)           repeated box blur (a soft glow)
//   paint(canvas, mask, ox, oy, colour, k)  canvas.over() with coverage k x mask
//   glow(canvas, mask, ox, oy, colour, k)   canvas.add() of colour x k x mask
#pragma once

#include "tools/content/canvas.h"

#include <cstddef>
#include <vector>

struct Mask {
    int w = 0, h = 0;
    std::vector<float> v;

    Mask(int width, int height) : w(width), h(height), v(size_t(width) * size_t(height), 0.0f) {}
    float at(int x, int y) const
    {
        return (x < 0 || y < 0 || x >= w || y >= h) ? 0.0f : v[size_t(y) * size_t(w) + size_t(x)];
    }
    float& ref(int x, int y) { return v[size_t(y) * size_t(w) + size_t(x)]; }
    void max_at(int x, int y, float k)
    {
        if (x >= 0 && y >= 0 && x < w && y < h && k > ref(x, y))
            ref(x, y) = k;
    }
};

Mask blur(const Mask& m, int radius, int passes);
void paint(Canvas& canvas, const Mask& m, int ox, int oy, Rgb colour, float k);
void glow(Canvas& canvas, const Mask& m, int ox, int oy, Rgb colour, float k);
