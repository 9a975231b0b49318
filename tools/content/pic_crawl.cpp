// pic02, the crawl target of the last scene. Lines grow from (215, 180)
// over the static and copy this picture along their paths; a line dies on a
// pixel whose red, green and blue are all at least 128. So the picture is
// dark everywhere the lines may go (green and blue kept below 128, so a line
// also stops where it meets an earlier one) and bright where they must stop:
// a frame round the edge, which keeps every walker inside the buffer, and a
// ring round the sun's disc, which gives the growth its shape. Inside the
// ring the lines reveal a deep red sun with dark stripes.
//
// Entry points:
//   make_crawl_target()   320x240, opaque
#include "tools/content/canvas.h"
#include "tools/content/pictures.h"

#include <cmath>

namespace {

constexpr int W = 320, H = 240;
constexpr float cx = 160.0f, cy = 120.0f, ring_r = 104.0f;

}  // namespace

Art make_crawl_target()
{
    Canvas cv(W, H);
    const Rgb wall = hex(0xf4eefc);
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            const float dx = float(x) + 0.5f - cx, dy = float(y) + 0.5f - cy;
            const float r = std::sqrt(dx * dx + dy * dy);
            const float v = float(y) / float(H);
            Rgb c;
            if (r < ring_r - 2.0f) {
                // Deep sun: crimson at the top to violet at the bottom, its
                // lower half crossed by darker stripes.
                c = v < 0.5f ? mix(hex(0xff2a3c), hex(0xd81470), v * 2.0f)
                             : mix(hex(0xd81470), hex(0x501870), (v - 0.5f) * 2.0f);
                const float below = float(y) - cy;
                if (below > 0 && std::fmod(below, 14.0f) < 3.0f + below / 14.0f)
                    c = c * 0.45f;
                c = c * (0.75f + 0.25f * (1.0f - r / ring_r));
            } else {
                c = mix(hex(0x101848), hex(0x301050), v);
            }
            const bool ring = std::fabs(r - ring_r) <= 1.6f;
            const bool frame = x < 3 || y < 3 || x >= W - 3 || y >= H - 3;
            cv.over(x, y, (ring || frame) ? wall : c, 1.0f);
        }
    }
    return {W, H, cv.to_argb()};
}
