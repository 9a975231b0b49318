// pic06, the tower: the climb through a night city that opens the show.
// It is shown in five vertical bands scrolling at three speeds, so each band
// is a depth layer of its own: near facades in columns 0..99 and 220..319,
// middle towers in 100..149 and 170..219, a far spire in 150..169. Every
// feature repeats every 240 rows (the scroll wraps modulo 240), and the sky
// depends on the column only, so no seam shows where bands meet or wrap.
//
// Entry points:
//   make_tower()
#include "tools/content/canvas.h"
#include "tools/content/mask.h"
#include "tools/content/pictures.h"
#include "tools/content/pixel_font.h"
#include "tools/content/rng.h"

#include <cmath>

namespace {

constexpr int W = 320, H = 240;

Rgb sky(int x, int y)
{
    const float d = std::fabs(float(x) + 0.5f - 160.0f) / 160.0f;
    Rgb c = mix(hex(0x3a1260), hex(0x05061a), std::pow(d, 0.6f));
    const float star = hash01(x, y, 601);
    if (star > 0.992f)
        c = c + hex(0x9fb4ff) * ((star - 0.992f) * 90.0f);
    return c;
}

// The far spire: a thin dark shaft with a lit seam and rings of light.
void spire(Canvas& cv)
{
    for (int y = 0; y < H; y++) {
        for (int x = 153; x <= 166; x++) {
            Rgb c = hex(0x150b2a);
            const float edge = (x == 153 || x == 166) ? 1.0f : 0.0f;
            c = c + hex(0xff3fa8) * (0.35f * edge);
            if (x == 159 || x == 160)
                c = c + hex(0x39e6ff) * (0.55f + 0.35f * std::sin(float(y) * 6.2831853f / 60.0f));
            const int ring = y % 30;
            if (ring < 2)
                c = c + hex(0xffc66a) * (ring == 0 ? 0.9f : 0.5f);
            cv.over(x, y, mix(c, hex(0x3a1260), 0.3f), 1.0f);
        }
        // Aircraft lights on short arms, every 80 rows.
        if (y % 80 == 40)
            for (int x : {151, 168})
                cv.over(x, y, hex(0xff2030), 1.0f);
    }
}

// A middle tower between columns x0 and x1 (inclusive); lit edge on the side
// facing the spire.
void middle_tower(Canvas& cv, int x0, int x1, bool lit_right, Rgb window, uint32_t seed)
{
    for (int y = 0; y < H; y++) {
        for (int x = x0; x <= x1; x++) {
            const float tex = value_noise(float(x) / 6.0f, float(y) / 6.0f, 0, 40, seed);
            Rgb c = mix(hex(0x17122c), hex(0x241a3e), tex);
            const int cx = (x - x0 - 3) % 7, cy = y % 12;
            const int col = (x - x0 - 3) / 7;
            if (x - x0 >= 3 && x1 - x >= 3 && cx < 4 && cy >= 3 && cy < 9) {
                const float on = hash01(col, y / 12, seed);
                if (on > 0.5f)
                    c = mix(c, window, 0.45f + 0.5f * hash01(col, y / 12, seed + 1));
                else
                    c = c + hex(0x0a0a18);
            }
            if (y % 60 == 0)
                c = c * 0.6f;
            const int edge_x = lit_right ? x1 : x0;
            if (x == edge_x)
                c = c + hex(0xff3fa8) * 0.55f;
            // Haze: the middle layer sits further back than the facades.
            cv.over(x, y, mix(c, hex(0x2a1050), 0.22f), 1.0f);
        }
    }
}

// A near facade between columns x0 and x1, big windows with warm rooms.
void near_facade(Canvas& cv, int x0, int x1, bool lit_right, uint32_t seed)
{
    for (int y = 0; y < H; y++) {
        for (int x = x0; x <= x1; x++) {
            const float tex = value_noise(float(x) / 9.0f, float(y) / 9.0f, 0, 240 / 9 + 1, seed);
            const float fine = hash01(x, y, seed + 7);
            Rgb c = mix(hex(0x1b1530), hex(0x2b2148), tex) + hex(0x080808) * fine;
            const int rel = lit_right ? (x - x0) : (x1 - x);  // distance from the outer edge
            const int cx = rel % 16, cy = y % 20;
            const int col = rel / 16, row = y / 20;
            if (cx >= 3 && cx < 13 && cy >= 4 && cy < 16 && rel < 80) {
                const float on = hash01(col, row, seed);
                const float tone = hash01(col, row, seed + 3);
                if (on > 0.35f) {
                    const Rgb room = tone > 0.7f    ? hex(0x7fd6ff)
                                     : tone > 0.25f ? hex(0xffb25a)
                                                    : hex(0xff6a8a);
                    const float lamp = 0.55f + 0.45f * float(cy - 4) / 11.0f;
                    c = room * lamp;
                    if (hash01(col, row, seed + 5) > 0.6f && cy % 3 == 0)
                        c = c * 0.55f;  // blinds
                } else {
                    c = hex(0x0c0a18);
                }
            }
            if (cy == 0 || cy == 19)
                c = c * 0.7f;
            cv.over(x, y, c, 1.0f);
        }
    }
    // Rim light along the edge that faces the street canyon.
    const int edge = lit_right ? x1 : x0;
    const int inner = lit_right ? x1 - 1 : x0 + 1;
    for (int y = 0; y < H; y++) {
        cv.add(edge, y, hex(0x39e6ff) * 0.7f);
        cv.add(inner, y, hex(0x39e6ff) * 0.25f);
    }
}

// A vertical neon sign, a dark box with stacked letters, glowing.
void neon_sign(Canvas& cv, int x, int y, const char* letters, Rgb tube)
{
    int n = 0;
    while (letters[n])
        n++;
    const int bw = 17, bh = n * 18 + 6;
    for (int j = -1; j <= bh; j++)
        for (int i = -1; i <= bw; i++)
            cv.over(x + i, y + j, (i < 0 || j < 0 || i == bw || j == bh) ? tube * 0.5f : hex(0x0b0614), 1.0f);
    Mask m(bw + 24, bh + 24);
    for (int k = 0; k < n; k++) {
        const char s[2] = {letters[k], 0};
        stamp_text(m, s, 12 + 3, 12 + 4 + k * 18, 2, 2, 0);
    }
    glow(cv, blur(m, 3, 2), x - 12, y - 12, tube, 1.2f);
    glow(cv, m, x - 12, y - 12, mix(tube, hex(0xffffff), 0.6f), 0.9f);
}

}  // namespace

Art make_tower()
{
    Canvas cv(W, H);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            cv.over(x, y, sky(x, y), 1.0f);
    spire(cv);
    middle_tower(cv, 103, 145, true, hex(0x4fd8ff), 611);
    middle_tower(cv, 174, 216, false, hex(0xffb060), 612);
    near_facade(cv, 0, 89, true, 621);
    near_facade(cv, 230, 319, false, 622);
    neon_sign(cv, 68, 40, "KIRMAVO", hex(0xff2f9a));
    neon_sign(cv, 236, 150 - 60, "NIGHT", hex(0x3fe0ff));
    return {W, H, cv.to_argb()};
}
