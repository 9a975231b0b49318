// pic14, television static. It seeds both work buffers, heals the smoke
// trails, flashes over the frame and wipes the mesh scene. The crawl lines
// only advance over pixels whose green or blue is at least 128, so the
// static lives in the bright half: blue never drops below 128 except for a
// sprinkle of dark specks (about one pixel in 500), which only make a
// crawling line stop early.
//
// Entry points:
//   make_noise()   320x240, opaque
#include "tools/content/canvas.h"
#include "tools/content/pictures.h"
#include "tools/content/rng.h"

#include <algorithm>
#include <cmath>

Art make_noise()
{
    constexpr int W = 320, H = 240;
    Rng rng{1414};
    std::vector<uint32_t> px(size_t(W) * size_t(H));
    for (int y = 0; y < H; y++) {
        // Line-to-line gain, a slow rolling bar and the odd bright streak.
        const float roll = 0.5f + 0.5f * std::sin(float(y) * 6.2831853f / 240.0f * 2.0f);
        const float gain = 0.80f + 0.12f * rng.uniform() + 0.08f * roll;
        const int streak_at = rng.range(0, 319), streak_len = rng.uniform() < 0.1f ? rng.range(20, 90) : 0;
        for (int x = 0; x < W; x++) {
            float v = 0.5f + 0.5f * gain * rng.uniform();
            if (x >= streak_at && x < streak_at + streak_len)
                v = std::min(1.0f, v + 0.25f);
            const auto level = [](float f) {
                return uint32_t(std::clamp(std::lround(f * 255.0f), 0L, 255L));
            };
            uint32_t b = std::max<uint32_t>(128, level(v));
            uint32_t g = std::max<uint32_t>(level(v * 0.97f), 120);
            uint32_t r = level(v * 0.93f);
            if (rng.next() % 500 == 0) {
                r = g = level(0.25f * rng.uniform());
                b = r + 8;
            }
            px[size_t(y) * W + size_t(x)] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    return {W, H, std::move(px)};
}
