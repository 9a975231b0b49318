// Scenes 1 to 3 and the layers, on pictures made here whose pixels say
// where they were read from: the scroll rows, the circle windows, the scene
// boundaries, the sprites' and credit lines' thresholds, the smoke gate, and
// the overlay schedule over a fresh run.
#include "app/frame.h"
#include "app/scene_tables.h"
#include "app/scenes.h"
#include "app/show.h"
#include "core/clock.h"
#include "core/rand.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t STATIC = 0xFF808080;

uint32_t test_now = 0;
uint32_t test_clock() { return test_now; }

uint32_t sprite_colour(size_t s) { return 0xFF00FF00 | uint32_t(s); }
uint32_t credit_colour(size_t c) { return 0xFF0000F0 | uint32_t(c) << 16; }

class Scenes : public testing::Test {
protected:
    void SetUp() override
    {
        core_srand(1);
        test_now = 0;
        clock_set_source(test_clock);
        show = std::make_unique<Show>();
        for (int i = 0; i < PICTURE_COUNT; i++) {
            const int w = i <= 1 ? 360 : FRAME_WIDTH, h = i <= 1 ? 280 : FRAME_HEIGHT;
            storage[i].assign(size_t(w * h), 0);
            Picture& p = show->pictures[size_t(i)];
            p.kind = PICTURE_RGBA;
            p.bit_depth = 8;
            p.width = w;
            p.height = h;
            p.pixels = reinterpret_cast<uint8_t*>(storage[i].data());
            for (int y = 0; y < h; y++)
                for (int x = 0; x < w; x++)
                    storage[i][size_t(y * w + x)] = pixel(i, x, y);
        }
        show_prepare_work(*show);
        canvas = std::make_unique<FrameBuffer>();
        canvas->fill(0x12345678);
    }
    void TearDown() override { clock_set_source(nullptr); }

    static uint32_t pixel(int picture, int x, int y)
    {
        switch (picture) {
        case PICTURE_TOWER:
            return uint32_t(y * 1000 + x);
        case PICTURE_CIRCLES:  // low half: the window's corner into the pattern
            return 0xFFFF0000 | uint32_t(y & 255) << 8 | uint32_t(x & 255);
        case PICTURE_CIRCLES_MASK:  // high half: into the mask
            return 0x0000FFFF | uint32_t(y & 255) << 24 | uint32_t(x & 255) << 16;
        case PICTURE_SPRITES:
            for (size_t s = 0; s < SMOKE_SPRITES.size(); s++) {
                const SpriteSpot& r = SMOKE_SPRITES[s];
                if (x >= r.x && x < r.x + SPRITE_WIDTH && y >= r.y && y < r.y + SPRITE_HEIGHT)
                    return sprite_colour(s);
            }
            return 0;
        case PICTURE_CREDITS:
            for (size_t c = 0; c < CREDIT_LINES.size(); c++) {
                const CreditLine& r = CREDIT_LINES[c];
                if (x >= r.x && x < r.x + credit_line_width(c) && y >= r.y && y < r.y + CREDIT_HEIGHT)
                    return credit_colour(c);
            }
            return 0;
        case PICTURE_NOISE:
            return STATIC;
        default:
            return 0x00404040;  // transparent
        }
    }

    uint32_t at(int x, int y) const { return (*canvas)[size_t(y * FRAME_WIDTH + x)]; }
    void draw(int32_t now, int32_t pos) { scenes_draw(*show, now, pos, *canvas); }

    std::unique_ptr<Show> show;
    std::vector<uint32_t> storage[PICTURE_COUNT];
    std::unique_ptr<FrameBuffer> canvas;
};

// The tower frame at `now`, each band from its own picture row.
void expect_tower(const FrameBuffer& f, int32_t now)
{
    const int base = 1000000 - now / 30;
    for (int y = 0; y < FRAME_HEIGHT; y++)
        for (int x = 0; x < FRAME_WIDTH; x++) {
            const int offset = x >= 150 && x < 170 ? base / 4 : x >= 100 && x < 220 ? base / 2 : base;
            ASSERT_EQ(f[size_t(y * FRAME_WIDTH + x)], uint32_t((offset + y) % 240 * 1000 + x))
                << x << "," << y;
        }
}

TEST_F(Scenes, TowerAt30000)
{
    draw(30000, 0);
    EXPECT_EQ(at(0, 0), 120000u);
    EXPECT_EQ(at(100, 0), 60100u);
    EXPECT_EQ(at(150, 0), 150150u);
    EXPECT_EQ(at(319, 120), 319u) << "outer rows wrap from 239 to 0";
    expect_tower(*canvas, 30000);
}

TEST_F(Scenes, CirclesAt40000)
{
    draw(40000, 500);
    // Pattern window at (27, 9), mask window at (16, 19).
    EXPECT_EQ(at(0, 0), 19u << 24 | 16u << 16 | 9u << 8 | 27u);
    for (int y = 0; y < FRAME_HEIGHT; y++)
        for (int x = 0; x < FRAME_WIDTH; x++)
            ASSERT_EQ(at(x, y), pixel(0, 27 + x, 9 + y) & pixel(1, 16 + x, 19 + y)) << x << "," << y;
}

TEST_F(Scenes, Boundaries)
{
    draw(5000, 299);
    expect_tower(*canvas, 5000);
    draw(5000, 300);
    EXPECT_TRUE(*canvas == show->work_a) << "the smoke, no sprite yet";
    EXPECT_EQ(at(0, 0), STATIC);
    draw(5000, 500);
    const FrameBuffer circles = *canvas;
    // The top-left pixel names both windows' corners: 0..31 into the
    // pattern, 0..33 into the mask.
    EXPECT_LT(circles[0] & 255, 32u);
    EXPECT_LT(circles[0] >> 8 & 255, 32u);
    EXPECT_LT(circles[0] >> 16 & 255, 34u);
    EXPECT_LT(circles[0] >> 24, 34u);
    draw(5000, 699);
    EXPECT_EQ(at(15, 193), credit_colour(14));
    EXPECT_EQ(at(319, 0), circles[319]) << "the circles at 699, under the credits";
    draw(5000, 700);
    int same = 0;
    for (size_t i = 0; i < circles.size(); i++)
        same += (*canvas)[i] == circles[i];
    EXPECT_LT(same, FRAME_PIXELS / 2) << "700 is past the circles";
    // Before any row is heard the position is -1: no scene owns it.
    canvas->fill(0x12345678);
    draw(5000, -1);
    EXPECT_EQ(at(100, 100), 0x12345678u);
}

TEST_F(Scenes, SpritesFromTheirPositions)
{
    draw(1000, 335);
    EXPECT_EQ(at(224, 173), sprite_colour(0));
    EXPECT_EQ(at(224, 239), sprite_colour(0)) << "the first sprite is cut at the frame's last row";
    EXPECT_EQ(at(136, 12), STATIC);
    draw(1000, 336);
    EXPECT_EQ(at(136, 12), sprite_colour(1));
    EXPECT_EQ(at(209, 79), sprite_colour(1));
    EXPECT_EQ(at(128, 167), STATIC);
    draw(1000, 499);
    EXPECT_EQ(at(128 + 73, 167 + 67), sprite_colour(2));
    EXPECT_EQ(at(237, 73), sprite_colour(3));
}

TEST_F(Scenes, CreditLinesFromTheirPositions)
{
    draw(1000, 634);
    EXPECT_EQ(at(15, 105), credit_colour(13));
    EXPECT_NE(at(15, 193), credit_colour(14));
    draw(1000, 635);
    EXPECT_EQ(at(15, 193), credit_colour(14));
    EXPECT_EQ(at(174, 214), credit_colour(14)) << "160 wide, 22 tall";
    EXPECT_NE(at(175, 193), credit_colour(14));
    EXPECT_NE(at(15, 215), credit_colour(14));
    draw(1000, 599);
    for (size_t c = 0; c < CREDIT_LINES.size(); c++)
        EXPECT_NE(at(CREDIT_LINES[c].x, CREDIT_LINES[c].y), credit_colour(c));
    draw(1000, 600);
    EXPECT_EQ(at(123, 61), credit_colour(0));
}

TEST_F(Scenes, SmokeGateAndReseed)
{
    draw(1000, 300);
    EXPECT_EQ(show->scene.step_time, 1000);
    EXPECT_EQ(show->scene.smoke_reseed, 1) << "row 0";
    const FrameBuffer stepped = show->work_a;
    draw(1015, 300);
    EXPECT_EQ(show->scene.step_time, 1000) << "15 ms is not more than 15";
    EXPECT_TRUE(show->work_a == stepped);
    draw(1016, 300);
    EXPECT_EQ(show->scene.smoke_reseed, 0) << "still on row 0: alternates";
    EXPECT_FALSE(show->work_a == stepped);
    draw(1040, 300);
    EXPECT_EQ(show->scene.smoke_reseed, 1);
    draw(1060, 301);
    EXPECT_EQ(show->scene.smoke_reseed, 0);
    draw(1080, 332);
    EXPECT_EQ(show->scene.smoke_reseed, 1) << "row 32";
    draw(1100, 432);
    EXPECT_EQ(show->scene.smoke_reseed, 0);
}

TEST_F(Scenes, LayersOverAFreshRun)
{
    // Position 260, first frame at 10 s: the static row (fade-in 500 ms) has
    // counted the whole 10 s and covers the frame; the two rows before it
    // are past their ends. The film damage marks a few pixels.
    for (int run = 0; run < 2; run++) {
        show->scene = SceneState{};
        test_now = 10000;
        frame_draw(*show, 10000, 260, *canvas);
        int other = 0;
        for (uint32_t p : *canvas)
            other += p != STATIC;
        EXPECT_GT(other, 0) << "film damage";
        EXPECT_LT(other, 40) << "run " << run;
        EXPECT_EQ(show->scene.overlays[2].fade_in_elapsed, 10000) << "a fresh state counts from 0 again";
    }
}

}  // namespace
