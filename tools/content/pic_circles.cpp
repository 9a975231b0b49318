// pic00 and pic01, the circles of scene 3. Each is a tiling of ringed discs,
// period 32 and 34 pixels, and the scene ANDs the two moving windows pixel
// by pixel. Both keep every channel in the upper half of the byte range
// with smooth ramps below it, so the AND never collapses to black: the top
// bits survive as a bright base and the low bits break into interference.
//
// Entry points:
//   make_circles()        352x272, repeats every 32 pixels
//   make_circles_mask()   354x274, repeats every 34 pixels
#include "tools/content/canvas.h"
#include "tools/content/pictures.h"

#include <cmath>

namespace {

struct Ramp {
    Rgb a, b, c;  // colours at the centre, mid-ring and rim of a disc
};

Rgb ramp_at(const Ramp& r, float t)
{
    return t < 0.5f ? mix(r.a, r.b, t * 2.0f) : mix(r.b, r.c, (t - 0.5f) * 2.0f);
}

// One tile: a disc of concentric rings centred in the tile, a dimmer gap
// colour in the corners.
Art tiled(int w, int h, int period, float ring_px, const Ramp& ramp, Rgb gap)
{
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    const float half = float(period) / 2.0f;
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            const float dx = float(x % period) + 0.5f - half, dy = float(y % period) + 0.5f - half;
            const float r = std::sqrt(dx * dx + dy * dy);
            const float t = std::fmod(r / ring_px, 1.0f);
            Rgb c = ramp_at(ramp, r / half > 1.0f ? 1.0f : r / half);
            c = c * (0.78f + 0.22f * std::cos(t * 6.2831853f));
            c = mix(c, gap, smoothstep(half - 1.5f, half + 0.5f, r));
            const auto byte = [](float v) { return uint32_t(std::lround(clamp01(v) * 255.0f)); };
            px[size_t(y) * size_t(w) + size_t(x)] =
                0xFF000000u | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
        }
    }
    return {w, h, std::move(px)};
}

}  // namespace

Art make_circles()
{
    const Ramp ramp{hex(0xfff080), hex(0xff80c0), hex(0x80e0ff)};
    return tiled(352, 272, 32, 4.0f, ramp, hex(0x8060e0));
}

Art make_circles_mask()
{
    const Ramp ramp{hex(0xc0ffff), hex(0xffff90), hex(0xff70ff)};
    return tiled(354, 274, 34, 5.0f, ramp, hex(0xffa060));
}
