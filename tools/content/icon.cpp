#include "tools/content/icon.h"

#include <algorithm>
#include <cmath>

namespace {

// The square cut from the 320x240 emblem: the whole sun, a strip of the
// skyline and the first lines of the grid below it.
constexpr int CUT_X = 56, CUT_Y = 4, CUT_SIDE = 208;
constexpr int EMBLEM_WIDTH = 320;

// One channel of the area average of the cut over the output pixel's
// square: every source pixel weighted by how much of it the square covers,
// so that the same code shrinks (16 px) and slightly enlarges (256 px).
uint32_t area_average(const std::vector<uint32_t>& emblem, double x0, double y0, double side)
{
    double sum[3] = {0, 0, 0};
    double total = 0;
    for (int sy = int(std::floor(y0)); sy < int(std::ceil(y0 + side)); sy++) {
        const double wy = std::min(double(sy + 1), y0 + side) - std::max(double(sy), y0);
        for (int sx = int(std::floor(x0)); sx < int(std::ceil(x0 + side)); sx++) {
            const double w = wy * (std::min(double(sx + 1), x0 + side) - std::max(double(sx), x0));
            const uint32_t p = emblem[size_t((CUT_Y + sy) * EMBLEM_WIDTH + CUT_X + sx)];
            for (int c = 0; c < 3; c++)
                sum[c] += w * double((p >> (16 - 8 * c)) & 0xFF);
            total += w;
        }
    }
    uint32_t rgb = 0;
    for (int c = 0; c < 3; c++)
        rgb |= uint32_t(std::lround(sum[c] / total)) << (16 - 8 * c);
    return rgb;
}

// How much of pixel (x, y) lies inside the rounded square, 0..1, from its
// distance to the corner's arc (radius r) when it is in a corner.
double coverage(int x, int y, int size, double r)
{
    const double cx = std::clamp(x + 0.5, r, size - r);
    const double cy = std::clamp(y + 0.5, r, size - r);
    const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
    return std::clamp(r - d + 0.5, 0.0, 1.0);
}

}  // namespace

Art make_icon(int size)
{
    const Art emblem = make_emblem();
    Art icon{size, size, std::vector<uint32_t>(size_t(size) * size_t(size))};
    const double step = double(CUT_SIDE) / size;
    const double corner = size / 8.0;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            const uint32_t alpha = uint32_t(std::lround(255 * coverage(x, y, size, corner)));
            icon.argb[size_t(y * size + x)] =
                alpha << 24 | area_average(emblem.argb, x * step, y * step, step);
        }
    return icon;
}
