// Scenes 1 to 3 and the layers, on pictures made here whose pixels say
// where they were read from: the scroll rows, the circle windows, the scene
// boundaries, the sprites' and credit lines' thresholds, the smoke gate, and
// the overlay schedule over a fresh run.
#include "app/frame.h"
#include "tests/scenes/scenes_fixture.h"

namespace {

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
    EXPECT_EQ(at(0, 0), noise(0, 0));
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
    EXPECT_EQ(at(136, 12), noise(136, 12));
    draw(1000, 336);
    EXPECT_EQ(at(136, 12), sprite_colour(1));
    EXPECT_EQ(at(209, 79), sprite_colour(1));
    EXPECT_EQ(at(128, 167), noise(128, 167));
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
        now_ = 10000;
        frame_draw(*show, 10000, 260, *canvas);
        int other = 0;
        for (int y = 0; y < FRAME_HEIGHT; y++)
            for (int x = 0; x < FRAME_WIDTH; x++)
                other += at(x, y) != noise(x, y);
        EXPECT_GT(other, 0) << "film damage";
        EXPECT_LT(other, 40) << "run " << run;
        EXPECT_EQ(show->scene.overlays[2].fade_in_elapsed, 10000) << "a fresh state counts from 0 again";
    }
}

}  // namespace
