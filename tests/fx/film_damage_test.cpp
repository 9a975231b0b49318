// Film damage: the instants worked by hand, a plain 64-bit model over the
// times where 32-bit products are exact, and the whole range of t.
#include "gfx/fx/film_damage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <utility>

namespace {

constexpr uint32_t WHITE = 0x00FFFFFF;
constexpr uint32_t HALF = 0x007F7F7F;

using Spot = std::pair<int, int>;  // x, y

std::unique_ptr<FrameBuffer> white_frame()
{
    auto f = std::make_unique<FrameBuffer>();
    f->fill(WHITE);
    return f;
}

uint32_t at(const FrameBuffer& f, int x, int y) { return f[size_t(y * FRAME_WIDTH + x)]; }

// The steps as written, in 64 bits; exact while 13 t t fits in 31 bits.
void model(FrameBuffer& f, int64_t t)
{
    auto halve = [&](int x, int y) { f[size_t(y * FRAME_WIDTH + x)] = (at(f, x, y) >> 1) & 0x7F7F7F; };
    if ((t / 50) % 4 == 3 && t % 4 != 0) {
        const int c = int(int64_t(320.0 + double(320.0f * sinf(0.05f * float(t)))) % 320);
        for (int y = 0; y < FRAME_HEIGHT; y++)
            halve(c, y);
    }
    for (int64_t j = 0; j <= (t / 20) % 10 + 9; j++) {
        const int64_t x = (t * t + j * (j + 19)) % 320;
        halve(int(x), int((x + 17 * t + 10 * j) % 240));
    }
    static const int mask_a[4][4] = {{0, 1, 0, 0}, {0, 1, 1, 0}, {1, 1, 1, 1}, {0, 1, 1, 0}};
    static const int mask_b[4][4] = {{0, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 1, 0}, {1, 0, 0, 0}};
    const int64_t u = int64_t(double(13 * t * t + 1000) + 500.0 * std::sin(double(t))) % 75520;
    for (int r = 0; r < 4; r++)
        for (int k = 0; k < 4; k++)
            if ((t % 3 == 0 ? mask_a : mask_b)[r][k])
                f[size_t(u + 320 * r + k)] = 0;
}

TEST(FilmDamage, AtZero)
{
    auto f = white_frame();
    fx_film_damage(*f, 0);
    std::set<Spot> specks;
    for (int j = 0; j <= 9; j++) {
        const int x = j * (j + 19) % 320;
        specks.insert({x, (x + 10 * j) % 240});
    }
    EXPECT_TRUE(specks.count({0, 0}));
    const std::set<Spot> blotch = {{41, 3}, {41, 4}, {42, 4}, {40, 5}, {41, 5},
                                   {42, 5}, {43, 5}, {41, 6}, {42, 6}};
    for (int y = 0; y < FRAME_HEIGHT; y++)
        for (int x = 0; x < FRAME_WIDTH; x++) {
            const uint32_t want = blotch.count({x, y}) ? 0 : specks.count({x, y}) ? HALF : WHITE;
            ASSERT_EQ(at(*f, x, y), want) << x << "," << y;
        }
}

TEST(FilmDamage, ScratchAt150)
{
    auto f = white_frame();
    fx_film_damage(*f, 150);
    int halved = 0;
    for (int y = 0; y < FRAME_HEIGHT; y++)
        halved += at(*f, 300, y) == HALF || at(*f, 300, y) == 0x003F3F3F || at(*f, 300, y) == 0;
    EXPECT_EQ(halved, FRAME_HEIGHT);
    auto plain = white_frame();
    fx_film_damage(*plain, 152);  // the scratch's second, but t mod 4 = 0
    for (int x = 0; x < FRAME_WIDTH; x++) {
        int changed = 0;
        for (int y = 0; y < FRAME_HEIGHT; y++)
            changed += at(*plain, x, y) != WHITE;
        EXPECT_LT(changed, 10) << "column " << x;
    }
}

TEST(FilmDamage, MatchesTheModelWhileProductsFit)
{
    auto f = std::make_unique<FrameBuffer>();
    auto g = std::make_unique<FrameBuffer>();
    for (int64_t t = 0; t <= 12852; t += 7) {
        for (int i = 0; i < FRAME_PIXELS; i++)
            (*f)[size_t(i)] = (*g)[size_t(i)] = uint32_t(i) * 2654435761u;
        fx_film_damage(*f, int32_t(t));
        model(*g, t);
        ASSERT_TRUE(*f == *g) << "t " << t;
    }
}

TEST(FilmDamage, StaysInTheFrameForAnyTime)
{
    // The frame is heap storage of exactly one frame: a stray write shows
    // under the address sanitiser. Count the damage too.
    auto f = std::make_unique<FrameBuffer>();
    for (int64_t t = -(int64_t(1) << 31); t < (int64_t(1) << 31); t += 9973 * 511 + 3) {
        f->fill(WHITE);
        fx_film_damage(*f, int32_t(t));
        int changed = 0;
        for (uint32_t p : *f)
            changed += p != WHITE;
        ASSERT_GE(changed, 1) << t;
        ASSERT_LE(changed, FRAME_HEIGHT + 19 + 9) << t;
    }
}

}  // namespace
