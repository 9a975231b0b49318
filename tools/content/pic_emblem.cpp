// pic07, the emblem, and pic13, its night-time backdrop.
//
// pic07 is a striped sun going down behind a skyline over a neon grid: big,
// bold shapes, because it must survive being painted in 4..36 pixel
// rectangles (the fly-in), broken into 9-pixel dots (the halftone) and
// overdrawn by a black silhouette (the mesh) on the right of centre. The
// sun and sky are bright there, and a violet glow lifts the skyline and the
// ground, so that the halftone prints dots wherever the knot can pass and
// its whole outline reads, not only where it crosses the sky.
//
// pic13 is the same vista after dark: no sun, a faint horizon and grid. It
// is the finale's background under pic07's dots and a full-screen fade, so
// it stays below about a quarter of full brightness.
//
// Entry points:
//   make_emblem()          320x240, opaque
//   make_dark_backdrop()   320x240, opaque
#include "tools/content/canvas.h"
#include "tools/content/pictures.h"
#include "tools/content/rng.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int W = 320, H = 240;
constexpr int horizon = 162;
constexpr float sun_x = 160.0f, sun_y = 100.0f, sun_r = 78.0f;

struct Style {
    bool sun;
    float sky_k;   // brightness of the sky gradient
    float grid_k;  // brightness of the grid lines
    float lights;  // chance of a lit window
    float glow;    // violet lifted into the skyline and the ground
};

Rgb sky_colour(int y, float k)
{
    const float t = float(y) / float(horizon);
    Rgb c = t < 0.5f ? mix(hex(0x160a40), hex(0x4c1680), t * 2.0f)
                     : mix(hex(0x4c1680), hex(0x9a2070), (t - 0.5f) * 2.0f);
    return c * k;
}

// Skyline: building tops, in columns, seeded; returns the top row of the
// building at column x (horizon when there is none).
int skyline_top(int x)
{
    // Blocks of 9..22 pixels, taller towards the edges, low in the middle so
    // the sun's lower half still shows between them.
    int start = 0, block = 0;
    Rng rng{707};
    while (true) {
        const int width = rng.range(9, 22);
        if (x < start + width)
            break;
        start += width;
        block++;
    }
    const float centre = std::fabs(float(start) + 8.0f - 160.0f) / 160.0f;
    const float hmax = 14.0f + 40.0f * centre;
    const int height = int(hmax * (0.45f + 0.55f * hash01(block, 0, 708)));
    return horizon - height;
}

// The sun over the sky colour c at pixel (x, y): a halo, weaker behind the
// disc so that its stripes stay dark, then the disc with its stripes.
Rgb over_sun(Rgb c, int x, int y)
{
    const float dx = float(x) + 0.5f - sun_x, dy = float(y) + 0.5f - sun_y;
    const float r = std::sqrt(dx * dx + dy * dy);
    const float halo = r > sun_r ? 0.55f * std::exp(-(r - sun_r) / 18.0f) : 0.15f;
    c = c + hex(0xff5a8c) * halo;
    const float v = (float(y) - (sun_y - sun_r)) / (2.0f * sun_r);
    Rgb disc = v < 0.5f ? mix(hex(0xfff27a), hex(0xffa23c), v * 2.0f)
                        : mix(hex(0xffa23c), hex(0xff4a8a), (v - 0.5f) * 2.0f);
    float inside = clamp01(sun_r + 0.5f - r);
    const float below = float(y) - (sun_y - 6.0f);
    if (below > 0) {
        // Stripes every 11 rows, each gap one row wider than the last.
        const int k = int(below) / 11;
        const float gap = 2.0f + float(k) * 1.2f;
        if (std::fmod(below, 11.0f) < gap)
            inside = 0;
    }
    return mix(c, disc, inside);
}

// Above the horizon: the sky gradient, stars high up, and the sun.
Rgb sky_pixel(int x, int y, const Style& s)
{
    Rgb c = sky_colour(y, s.sky_k);
    const float star = hash01(x, y, 71);
    if (y < 110 && star > 0.994f)
        c = c + hex(0xc8d0ff) * ((star - 0.994f) * 120.0f * (1.0f - float(y) / 110.0f));
    return s.sun ? over_sun(c, x, y) : c;
}

// How much of a grid line covers ground pixel (x, y), 0..1: rows at
// perspective depths, columns converging on the vanishing point in the
// middle of the horizon.
float grid_line(int x, int y)
{
    const float dy = float(y - horizon) + 6.0f;
    const float z = 600.0f / dy;
    const float zdist = std::fabs(z - 8.0f * std::round(z / 8.0f));
    // Rows closer than 3 pixels to each other fade out towards the horizon
    // instead of merging into a band.
    const float spacing = 8.0f * dy * dy / 600.0f;
    const float row_line = clamp01(1.0f - zdist * dy * dy / 600.0f / 0.8f) * smoothstep(2.0f, 5.0f, spacing);
    const float gx = (float(x) + 0.5f - 160.0f) * z / 100.0f;
    const float gdist = std::fabs(gx - 3.0f * std::round(gx / 3.0f));
    const float col_line = clamp01(1.0f - gdist * 100.0f / z / 0.8f) * smoothstep(3.0f, 9.0f, 300.0f / z);
    return std::max(row_line, col_line);
}

// Below the horizon: dark violet ground brightening towards the horizon,
// the sun's reflection as a soft column, and the grid.
Rgb ground_pixel(int x, int y, const Style& s)
{
    const float t = float(y - horizon) / float(H - horizon);
    Rgb c = mix(hex(0x2a0b3c), hex(0x0b0418), std::sqrt(t)) * s.sky_k;
    c = c + hex(0x3c1458) * (s.glow * (1.0f - 0.5f * t));
    if (s.sun) {
        const float dx = (float(x) + 0.5f - sun_x) / 60.0f;
        c = c + hex(0xff5a8c) * (0.35f * std::exp(-dx * dx) * (1.0f - t));
    }
    return mix(c, hex(0xff3fd0) * s.grid_k + hex(0x40e0ff) * (0.25f * s.grid_k * (1.0f - t)),
               grid_line(x, y));
}

// The skyline, with a lit rim and a few windows.
void draw_skyline(Canvas& cv, const Style& s)
{
    for (int x = 0; x < W; x++) {
        const int top = skyline_top(x);
        for (int y = top; y < horizon; y++) {
            Rgb c = hex(0x1c0a30) * (0.7f + 0.3f * s.sky_k) + hex(0x3a1658) * s.glow;
            if (y == top)
                c = hex(0xff4fa0) * (0.35f + 0.4f * s.sky_k);
            else if ((x % 4) == 1 && (y - top) % 5 == 3 && hash01(x / 4, y / 5, 72) < s.lights)
                c = hash01(x, y, 73) < 0.5f ? hex(0xffd070) : hex(0x70e8ff);
            cv.over(x, y, c, 1.0f);
        }
    }
}

// The horizon line burns, in front of the skyline.
void draw_horizon_line(Canvas& cv, const Style& s)
{
    for (int x = 0; x < W; x++) {
        const int top = skyline_top(x);
        for (int d = -2; d <= 2; d++) {
            const int y = horizon + d;
            if (y < top)
                continue;
            cv.add(x, y, hex(0xff7ad0) * ((d == 0 ? 0.9f : 0.3f / float(std::abs(d))) * s.grid_k));
        }
    }
}

void draw_vista(Canvas& cv, const Style& s)
{
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            cv.over(x, y, y < horizon ? sky_pixel(x, y, s) : ground_pixel(x, y, s), 1.0f);
    draw_skyline(cv, s);
    draw_horizon_line(cv, s);
}

}  // namespace

Art make_emblem()
{
    Canvas cv(W, H);
    draw_vista(cv, {true, 1.0f, 1.0f, 0.35f, 1.0f});
    return {W, H, cv.to_argb()};
}

Art make_dark_backdrop()
{
    Canvas cv(W, H);
    draw_vista(cv, {false, 0.28f, 0.22f, 0.12f, 0.0f});
    return {W, H, cv.to_argb()};
}
