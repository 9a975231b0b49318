#include "tools/content/mask.h"

#include <algorithm>

namespace {

// One box pass along x (dx = 1) or y (dx = 0); samples outside count as 0.
Mask box(const Mask& m, int radius, bool along_x)
{
    Mask out(m.w, m.h);
    const float k = 1.0f / float(2 * radius + 1);
    for (int y = 0; y < m.h; y++) {
        for (int x = 0; x < m.w; x++) {
            float sum = 0;
            for (int d = -radius; d <= radius; d++)
                sum += along_x ? m.at(x + d, y) : m.at(x, y + d);
            out.ref(x, y) = sum * k;
        }
    }
    return out;
}

}  // namespace

Mask blur(const Mask& m, int radius, int passes)
{
    Mask out = m;
    for (int p = 0; p < passes; p++)
        out = box(box(out, radius, true), radius, false);
    return out;
}

void paint(Canvas& canvas, const Mask& m, int ox, int oy, Rgb colour, float k)
{
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++)
            canvas.over(ox + x, oy + y, colour, m.at(x, y) * k);
}

void glow(Canvas& canvas, const Mask& m, int ox, int oy, Rgb colour, float k)
{
    for (int y = 0; y < m.h; y++) {
        for (int x = 0; x < m.w; x++) {
            const float v = m.at(x, y) * k;
            if (v <= 0.0f || !canvas.inside(ox + x, oy + y))
                continue;
            // Light on transparent ground also raises its coverage, so a
            // glow over nothing still shows in an overlay.
            const size_t i = size_t(oy + y) * size_t(canvas.w) + size_t(ox + x);
            canvas.c[i] = canvas.c[i] + colour * v;
            canvas.a[i] = std::min(1.0f, canvas.a[i] + v * (1.0f - canvas.a[i]));
        }
    }
}
