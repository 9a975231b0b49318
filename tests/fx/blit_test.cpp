// The alpha rule against a plain model, and the blit's rectangle and clip.
#include "gfx/fx/blit.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

// The rule as written: each side's product divided by 256 and floored.
uint32_t model_over(uint32_t s, uint32_t d)
{
    const uint32_t a = s >> 24;
    if (a <= 7)
        return d;
    if (a >= 251)
        return s;
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t sc = (s >> shift) & 255, dc = (d >> shift) & 255;
        out |= (a * sc / 256 + (255 - a) * dc / 256) << shift;
    }
    return out;
}

TEST(AlphaRule, Thresholds)
{
    const uint32_t d = argb(0x33, 10, 200, 90);
    EXPECT_EQ(fx_alpha_over(argb(7, 255, 255, 255), d), d);
    EXPECT_NE(fx_alpha_over(argb(8, 255, 255, 255), d), d);
    EXPECT_EQ(fx_alpha_over(argb(8, 255, 255, 255), d) >> 24, 0u);
    EXPECT_EQ(fx_alpha_over(argb(250, 255, 255, 255), argb(255, 0, 0, 0)), argb(0, 249, 249, 249));
    EXPECT_EQ(fx_alpha_over(argb(251, 1, 2, 3), d), argb(251, 1, 2, 3));
    // Each side floors apart, so the halves don't make white.
    EXPECT_EQ(fx_alpha_over(argb(128, 255, 255, 255), argb(255, 0, 0, 0)), argb(0, 127, 127, 127));
    EXPECT_EQ(fx_alpha_over(argb(128, 0, 0, 0), argb(255, 255, 255, 255)), argb(0, 126, 126, 126));
}

TEST(AlphaRule, EveryAlphaOverAGridOfChannels)
{
    const uint32_t levels[] = {0, 1, 2, 7, 64, 127, 128, 129, 200, 253, 254, 255};
    for (uint32_t a = 0; a < 256; a++)
        for (uint32_t sv : levels)
            for (uint32_t dv : levels) {
                // Different values per channel, so a carry or a swapped
                // channel shows.
                const uint32_t s = argb(a, sv, 255 - sv, sv / 2);
                const uint32_t d = argb(dv, dv, dv / 3, 255 - dv);
                ASSERT_EQ(fx_alpha_over(s, d), model_over(s, d))
                    << "alpha " << a << " s " << sv << " d " << dv;
            }
}

TEST(AlphaRule, RowsOfAnyLengthMatchTheWordRule)
{
    // Random words whose alphas cluster at the thresholds, in rows of every
    // length up to 37 and at every start modulo 4.
    std::vector<uint32_t> src(64), dst(64), want(64);
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    const uint32_t alphas[] = {0, 7, 8, 9, 128, 249, 250, 251, 255};
    for (int round = 0; round < 2000; round++) {
        for (size_t i = 0; i < src.size(); i++) {
            const uint32_t a = next() % 3 ? alphas[next() % 9] : next() >> 24;
            src[i] = a << 24 | (next() & 0xFFFFFF);
            dst[i] = want[i] = next();
        }
        const int start = round % 4, n = round % 38;
        for (int i = start; i < start + n; i++)
            want[size_t(i)] = model_over(src[size_t(i)], want[size_t(i)]);
        fx_alpha_row(dst.data() + start, src.data() + start, n);
        ASSERT_EQ(dst, want) << "round " << round;
    }
}

TEST(BlitRect, RectangleOnlyAndClippedToTheFrame)
{
    auto src = std::make_unique<FrameBuffer>();
    auto dst = std::make_unique<FrameBuffer>();
    for (int i = 0; i < FRAME_PIXELS; i++)
        (*src)[size_t(i)] = argb(uint32_t(i * 7) & 255, uint32_t(i) & 255, uint32_t(i >> 8) & 255, 99);
    struct Case {
        int x, y, w, h;
    };
    // Inside; reaching past each edge; empty; the first smoke sprite's row 240.
    const Case cases[] = {{10, 20, 30, 5}, {-5, -7, 20, 20},   {300, 230, 50, 50}, {0, 0, 0, 10},
                          {5, 5, 10, -1},  {224, 173, 74, 68}, {-400, 0, 100, 10}};
    for (const Case& c : cases) {
        dst->fill(0x00123456);
        fx_blit_rect(*dst, *src, c.x, c.y, c.w, c.h);
        for (int y = 0; y < FRAME_HEIGHT; y++)
            for (int x = 0; x < FRAME_WIDTH; x++) {
                const size_t i = size_t(y * FRAME_WIDTH + x);
                const bool in = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h;
                ASSERT_EQ((*dst)[i], in ? model_over((*src)[i], 0x00123456) : 0x00123456u)
                    << "case " << c.x << "," << c.y << " at " << x << "," << y;
            }
    }
}

}  // namespace
