#include "tools/content/kit.h"

#include "app/scene_tables.h"
#include "tools/content/mask.h"
#include "tools/content/pixel_font.h"

#include <algorithm>
#include <cmath>

void glass_panel(Canvas& cv, Rect r, Rgb tint, float alpha, Rgb edge)
{
    for (int y = r.y0; y <= r.y1; y++) {
        for (int x = r.x0; x <= r.x1; x++) {
            const bool rim = x == r.x0 || x == r.x1 || y == r.y0 || y == r.y1;
            // A faint vertical sheen keeps the glass from looking flat.
            const float sheen = 0.85f + 0.15f * float(y - r.y0) / float(std::max(1, r.y1 - r.y0));
            cv.over(x, y, rim ? edge : tint * sheen, rim ? std::min(1.0f, alpha + 0.3f) : alpha);
        }
    }
}

void shade_band(Canvas& cv, Rect r, Rgb colour, float alpha, float fade)
{
    for (int y = r.y0; y <= r.y1; y++) {
        const float edge = std::min(float(y - r.y0), float(r.y1 - y)) / fade;
        for (int x = r.x0; x <= r.x1; x++)
            cv.over(x, y, colour, alpha * smoothstep(0.0f, 1.0f, edge));
    }
}

void clip_to(Canvas& cv, Rect r)
{
    for (int y = 0; y < cv.h; y++)
        for (int x = 0; x < cv.w; x++)
            if (x < r.x0 || x > r.x1 || y < r.y0 || y > r.y1) {
                const size_t i = size_t(y) * size_t(cv.w) + size_t(x);
                cv.c[i] = {0, 0, 0};
                cv.a[i] = 0;
            }
}

namespace {

void glow_clipped(Canvas& cv, Rect clip, const Mask& m, int ox, int oy, Rgb colour, float k)
{
    Canvas layer(cv.w, cv.h);
    glow(layer, m, ox, oy, colour, k);
    for (int y = std::max(0, clip.y0); y <= std::min(cv.h - 1, clip.y1); y++)
        for (int x = std::max(0, clip.x0); x <= std::min(cv.w - 1, clip.x1); x++) {
            const size_t i = size_t(y) * size_t(cv.w) + size_t(x);
            cv.c[i] = cv.c[i] + layer.c[i];
            cv.a[i] = std::min(1.0f, cv.a[i] + layer.a[i] * (1.0f - cv.a[i]));
        }
}

}  // namespace

void neon_text(Canvas& cv, Rect clip, std::string_view text, int x, int y, int sx, int sy, int gap,
               Rgb colour, float halo)
{
    constexpr int pad = 10;
    Mask m(text_width(text, sx, gap) + 2 * pad, font_h * sy + 2 * pad);
    stamp_text(m, text, pad, pad, sx, sy, gap);
    if (halo > 0)
        glow_clipped(cv, clip, blur(m, 2, 3), x - pad, y - pad, colour, halo);
    Canvas ink(cv.w, cv.h);
    paint(ink, m, x - pad, y - pad, mix(colour, hex(0xffffff), 0.45f), 1.0f);
    for (int yy = std::max(0, clip.y0); yy <= std::min(cv.h - 1, clip.y1); yy++)
        for (int xx = std::max(0, clip.x0); xx <= std::min(cv.w - 1, clip.x1); xx++) {
            const size_t i = size_t(yy) * size_t(cv.w) + size_t(xx);
            if (ink.a[i] > 0)
                cv.over(xx, yy, ink.straight(xx, yy), ink.a[i]);
        }
}

void neon_path(Canvas& cv, Rect clip, const Path& path, float radius, Rgb colour, float halo)
{
    const DistanceField f = distance_field(path, cv.w, cv.h, radius + 24.0f);
    const Rgb core = mix(colour, hex(0xffffff), 0.55f);
    for (int y = std::max(0, clip.y0); y <= std::min(cv.h - 1, clip.y1); y++) {
        for (int x = std::max(0, clip.x0); x <= std::min(cv.w - 1, clip.x1); x++) {
            const float d = f.at(x, y);
            if (halo > 0) {
                const float g = halo * std::exp(-std::max(0.0f, d - radius) / 5.0f) * 0.6f;
                const size_t i = size_t(y) * size_t(cv.w) + size_t(x);
                cv.c[i] = cv.c[i] + colour * g;
                cv.a[i] = std::min(1.0f, cv.a[i] + g * (1.0f - cv.a[i]));
            }
            const float tube = clamp01(radius + 0.5f - d);
            if (tube > 0)
                cv.over(x, y, mix(colour, core, clamp01(1.0f - d / std::max(radius, 0.5f))), tube);
        }
    }
}

int centred_x(std::string_view text, int sx, int gap, int x0, int x1)
{
    return x0 + (x1 - x0 + 1 - text_width(text, sx, gap)) / 2;
}

// Every row that shows a picture shows it in the same rectangle.
Rect overlay_area(PictureId picture)
{
    for (const OverlaySlot& row : OVERLAY_SCHEDULE)
        if (row.picture == picture)
            return {row.x0, row.y0, row.x1, row.y1};
    return {0, 0, -1, -1};
}
