#include "tools/content/canvas.h"

#include "tools/content/rng.h"

#include <algorithm>
#include <cmath>

float clamp01(float x) { return std::min(1.0f, std::max(0.0f, x)); }

float smoothstep(float e0, float e1, float x)
{
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

Rgb hex(uint32_t rgb)
{
    return {float((rgb >> 16) & 255) / 255.0f, float((rgb >> 8) & 255) / 255.0f, float(rgb & 255) / 255.0f};
}

Canvas::Canvas(int width, int height)
    : w(width), h(height), c(size_t(width) * size_t(height), Rgb{0, 0, 0}),
      a(size_t(width) * size_t(height), 0.0f)
{
}

void Canvas::over(int x, int y, Rgb colour, float alpha)
{
    if (!inside(x, y) || alpha <= 0.0f)
        return;
    alpha = std::min(alpha, 1.0f);
    const size_t i = size_t(y) * size_t(w) + size_t(x);
    c[i] = colour * alpha + c[i] * (1.0f - alpha);
    a[i] = alpha + a[i] * (1.0f - alpha);
}

void Canvas::add(int x, int y, Rgb light)
{
    if (!inside(x, y))
        return;
    const size_t i = size_t(y) * size_t(w) + size_t(x);
    c[i] = c[i] + light;
}

void Canvas::fill(Rgb colour, float alpha)
{
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            over(x, y, colour, alpha);
}

Rgb Canvas::straight(int x, int y) const
{
    const size_t i = size_t(y) * size_t(w) + size_t(x);
    if (a[i] <= 0.0f)
        return {0, 0, 0};
    return c[i] * (1.0f / a[i]);
}

std::vector<uint32_t> Canvas::to_argb() const
{
    std::vector<uint32_t> out(c.size());
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            const size_t i = size_t(y) * size_t(w) + size_t(x);
            const uint32_t alpha = uint32_t(std::lround(clamp01(a[i]) * 255.0f));
            if (alpha < 8) {
                out[i] = 0;  // the demo treats alpha 0..7 as fully transparent
                continue;
            }
            const Rgb s = straight(x, y);
            const auto byte = [](float v) { return uint32_t(std::lround(clamp01(v) * 255.0f)); };
            out[i] = alpha << 24 | byte(s.r) << 16 | byte(s.g) << 8 | byte(s.b);
        }
    }
    return out;
}

float value_noise(float x, float y, int period_x, int period_y, uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const float tx = x - fx, ty = y - fy;
    const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    const auto wrap = [](int v, int p) { return p > 0 ? ((v % p) + p) % p : v; };
    const auto at = [&](int dx, int dy) {
        return hash01(wrap(ix + dx, period_x), wrap(iy + dy, period_y), seed);
    };
    return mixf(mixf(at(0, 0), at(1, 0), sx), mixf(at(0, 1), at(1, 1), sx), sy);
}
