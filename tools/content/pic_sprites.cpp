// pic11, the four sprites of the smoke scene: glass badges with a neon icon
// each (moon, lightning, note, eye), which pop in over the static one by
// one. Each lives in its 74x68 rectangle of the sprite table; the first
// sits at row 173, so its 68th row would be row 240, outside the picture
// and the frame: its badge is kept to the 67 rows that exist.
//
// Entry points:
//   make_sprites()   320x240
#include "app/scene_tables.h"
#include "tools/content/kit.h"
#include "tools/content/pictures.h"
#include "tools/content/strokes.h"

#include <cmath>

namespace {

constexpr int W = 320, H = 240;

void badge(Canvas& cv, Rect r, float cx, float cy, float radius, Rgb rim)
{
    for (int y = r.y0; y <= r.y1; y++) {
        for (int x = r.x0; x <= r.x1; x++) {
            const float dx = float(x) + 0.5f - cx, dy = float(y) + 0.5f - cy;
            const float d = std::sqrt(dx * dx + dy * dy);
            const float inside = clamp01(radius + 0.5f - d);
            const float shade = 0.7f + 0.3f * clamp01(-dy / radius);
            cv.over(x, y, hex(0x0a0616) * shade + hex(0x1a1030) * (1.0f - d / radius), inside * 0.88f);
            // A soft dark shadow ring so the badge separates from the static.
            const float ring = std::exp(-std::fabs(d - radius - 2.0f) / 1.5f);
            if (d > radius)
                cv.over(x, y, hex(0x000000), 0.5f * ring);
        }
    }
    Path edge;
    arc(edge, cx, cy, radius - 1.5f, radius - 1.5f, 0, 360, 48);
    neon_path(cv, r, edge, 0.9f, rim, 0.4f);
}

}  // namespace

Art make_sprites()
{
    Canvas cv(W, H);
    const Rgb colours[4] = {hex(0xffd04a), hex(0x2fd8ff), hex(0xff2f9a), hex(0x8aff7a)};
    for (size_t s = 0; s < SMOKE_SPRITES.size(); s++) {
        const int x0 = SMOKE_SPRITES[s].x, y0 = SMOKE_SPRITES[s].y;
        const Rect r{x0, y0, x0 + SPRITE_WIDTH - 1, std::min(y0 + SPRITE_HEIGHT - 1, H - 1)};
        const float cx = float(x0) + 37.0f, cy = float(y0) + 33.0f, radius = 28.0f;
        badge(cv, r, cx, cy, radius, colours[s]);
        Path icon;
        switch (s) {
        case 0:  // crescent moon
            arc(icon, cx, cy, 16, 16, 60, 300, 20);
            arc(icon, cx + 8, cy, 12, 13.8f, 235, 125, 16);
            break;
        case 1:  // lightning
            polyline(icon, {{cx + 5, cy - 19},
                            {cx - 9, cy + 2},
                            {cx + 1, cy + 2},
                            {cx - 5, cy + 19},
                            {cx + 10, cy - 4},
                            {cx, cy - 4},
                            {cx + 5, cy - 19}});
            break;
        case 2:  // eighth note
            arc(icon, cx - 5, cy + 11, 7, 5, 0, 360, 16);
            line(icon, cx + 2, cy + 11, cx + 2, cy - 17);
            polyline(icon, {{cx + 2, cy - 17}, {cx + 12, cy - 9}, {cx + 12, cy - 2}});
            break;
        default:  // eye
            arc(icon, cx, cy + 10, 22, 18, 30, 150, 14);
            arc(icon, cx, cy - 10, 22, 18, 210, 330, 14);
            arc(icon, cx, cy, 6, 6, 0, 360, 16);
            break;
        }
        neon_path(cv, r, icon, 1.6f, colours[s], 0.9f);
    }
    return {W, H, cv.to_argb()};
}
