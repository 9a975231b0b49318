// The halftone: its disc table, the worked cells, and a byte-for-byte
// comparison with a slow model that follows the rules pixel by pixel.
#include "gfx/fx/halftone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

using Frame = std::vector<uint32_t>;

uint8_t byte_of(uint32_t pixel, int byte) { return uint8_t(pixel >> (8 * byte)); }

// The rules as written, on an area of w x h pixels with row length w.
void model_halftone(Frame& dst, const Frame& src, int strength, int w, int h)
{
    int disc[12][12];
    for (int a = 0; a < 12; a++)
        for (int b = 0; b < 12; b++) {
            const double d = std::sqrt(double((a - 6) * (a - 6) + (b - 6) * (b - 6)));
            disc[a][b] = d > 6.5 ? -1 : int((d + 0.25) * 42.666666666666664);
        }
    int ramp[42], level[256];
    for (int i = 0; i < 42; i++)
        ramp[i] = int(256.0 * (42 - i) / 42);
    for (int v = 0; v < 256; v++)
        level[v] = std::min((v * strength) >> 8, 255);
    int parity = 0;
    for (int cy = 0; cy < h; cy += 9, parity ^= 1)
        for (int cx = 9 * parity / 2; cx < w; cx += 9) {
            int t[4];
            for (int byte = 0; byte < 4; byte++) {
                int sum = 0, n = 0;
                const int ys[2] = {cy - 6, cy}, xs[2] = {cx - 6, cx};
                for (int y : ys)
                    for (int x : xs)
                        if (y >= 0 && x >= 0) {
                            sum += byte_of(src[size_t(y * w + x)], byte);
                            n++;
                        }
                t[byte] = level[sum / n];
            }
            for (int a = 0; a < 12; a++) {
                const int y = cy - 6 + a;
                if (y < 0)
                    continue;
                if (y >= h)
                    break;
                for (int b = 0; b < 12; b++) {
                    const int x = cx - 6 + b, d = disc[a][b];
                    if (x < 0)
                        continue;
                    if (x >= w)
                        break;
                    if (d == -1)
                        continue;
                    uint32_t& pixel = dst[size_t(y * w + x)];
                    for (int byte = 0; byte < 4; byte++) {
                        int v = byte_of(pixel, byte);
                        if (t[byte] >= 7 && d < t[byte])
                            v = 255;
                        else if (t[byte] >= 7 && d <= t[byte] + 41)
                            v = std::min(v + ramp[d - t[byte]], 255);
                        pixel = (pixel & ~(255u << (8 * byte))) | uint32_t(v) << (8 * byte);
                    }
                }
            }
        }
}

class Halftone : public ::testing::Test {
protected:
    void SetUp() override { fx_halftone_init(FRAME_WIDTH, FRAME_HEIGHT); }
    Frame dst = Frame(FRAME_PIXELS, 0), src = Frame(FRAME_PIXELS, 0);
    void run(int strength)
    {
        fx_halftone(FrameView(dst.data(), FRAME_PIXELS),
                    std::span<const uint32_t, FRAME_PIXELS>(src.data(), FRAME_PIXELS), strength);
    }
    uint32_t& at(Frame& f, int x, int y) { return f[size_t(y * FRAME_WIDTH + x)]; }
};

TEST_F(Halftone, DiscTable)
{
    const auto& disc = fx_halftone_disc();
    auto entry = [&](int a, int b) { return disc[size_t(a * 12 + b)]; };
    EXPECT_EQ(entry(6, 6), 10);
    EXPECT_EQ(entry(5, 6), 53);
    EXPECT_EQ(entry(6, 7), 53);
    EXPECT_EQ(entry(4, 4), 131);
    EXPECT_EQ(entry(6, 0), 266);
    EXPECT_EQ(entry(4, 0), 280);
    EXPECT_EQ(entry(3, 0), -1);
    const int row0[12] = {-1, -1, -1, -1, 280, 270, 266, 270, 280, -1, -1, -1};
    for (int b = 0; b < 12; b++)
        EXPECT_EQ(entry(0, b), row0[b]) << b;
}

TEST_F(Halftone, StrengthZeroAndRedOnly)
{
    std::mt19937 rng(3);
    for (auto& p : src)
        p = rng();
    for (auto& p : dst)
        p = 0x10203040;
    run(0);
    EXPECT_TRUE(std::all_of(dst.begin(), dst.end(), [](uint32_t p) { return p == 0x10203040; }));

    std::fill(src.begin(), src.end(), 0x00FF0000);
    run(256);
    for (uint32_t p : dst)
        ASSERT_EQ(p & 0xFF00FFFF, 0x10003040u);
    EXPECT_EQ(at(dst, 18, 18), 0x10FF3040u);  // a cell centre
}

TEST_F(Halftone, ThresholdAndRim)
{
    std::fill(src.begin(), src.end(), 0x00000006);
    run(256);
    EXPECT_TRUE(std::all_of(dst.begin(), dst.end(), [](uint32_t p) { return p == 0; }));

    // Level 7: no core; the rim covers disc values 7..48, which is only the
    // centre (10): 256 x 39 / 42 = 237.
    std::fill(src.begin(), src.end(), 0x00000007);
    run(256);
    EXPECT_EQ(at(dst, 18, 18), 237u);
    EXPECT_EQ(at(dst, 19, 18), 0u);
    EXPECT_EQ(std::count(dst.begin(), dst.end(), 237u),
              std::count_if(dst.begin(), dst.end(), [](uint32_t p) { return p != 0; }));

    // A byte already at 250 in the rim stops at 255.
    std::fill(dst.begin(), dst.end(), 250);
    run(256);
    EXPECT_EQ(at(dst, 18, 18), 255u);
    EXPECT_EQ(at(dst, 19, 18), 250u);
}

TEST_F(Halftone, EdgeCells)
{
    // Only the first cell samples pixel (0, 0); its disc is cut to rows and
    // columns 0..5, the lower right quarter of the table: core below 255,
    // rim beyond.
    at(src, 0, 0) = 0x000000FF;
    run(256);
    const auto& disc = fx_halftone_disc();
    for (int y = 0; y < FRAME_HEIGHT; y++)
        for (int x = 0; x < FRAME_WIDTH; x++) {
            const int d = y <= 5 && x <= 5 ? disc[size_t((y + 6) * 12 + x + 6)] : -1;
            const int expect = d < 0 ? 0 : d < 255 ? 255 : std::min(256 * (42 - (d - 255)) / 42, 255);
            EXPECT_EQ(at(dst, x, y), uint32_t(expect)) << x << "," << y;
        }

    // The cell at (9, 4) leaves out its two samples in column -2: n = 2,
    // so (3, 4) = 100 and (9, 4) = 0 average to 50, which puts the pixels
    // next to the centre (disc 53) on the rim at ramp[3] = 237 (an average
    // over four would be 25 and give ramp[28] = 85).
    std::fill(src.begin(), src.end(), 0);
    std::fill(dst.begin(), dst.end(), 0);
    at(src, 4, 3) = 100;
    run(256);
    EXPECT_EQ(at(dst, 4, 9), 255u);
    EXPECT_EQ(at(dst, 5, 9), 237u);
    EXPECT_EQ(at(dst, 4, 10), 237u);
}

TEST_F(Halftone, MatchesModel)
{
    std::mt19937 rng(99);
    const int strengths[] = {0, 1, 7, 30, 130, 250, 256, 260, 1000};
    for (int strength : strengths)
        for (int low = 0; low < 2; low++) {
            // Low sources sit around the threshold levels 6 and 7.
            for (auto& p : src)
                p = low ? rng() & 0x0F0F0F0F : rng();
            for (auto& p : dst)
                p = rng() & 0xF0F0F0F0;
            Frame expect = dst;
            model_halftone(expect, src, strength, FRAME_WIDTH, FRAME_HEIGHT);
            run(strength);
            ASSERT_EQ(dst, expect) << "strength " << strength << (low ? ", low source" : "");
        }

    // A smaller area, so cells are cut on the right and at the bottom at
    // other places; the frame beyond it stays untouched.
    fx_halftone_init(100, 50);
    for (auto& p : src)
        p = rng();
    std::fill(dst.begin(), dst.end(), 0x01010101);
    Frame expect = dst;
    model_halftone(expect, src, 200, 100, 50);
    run(200);
    EXPECT_EQ(dst, expect);
}

}  // namespace
