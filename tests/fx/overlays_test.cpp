// The overlay pass on a clock the test sets: the line dissolve, the fades'
// ends, the end of the table and the milliseconds each call counts.
#include "gfx/fx/overlays.h"

#include "core/clock.h"
#include "core/rand.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

uint32_t test_now = 0;
uint32_t test_tick = 0;  // added after every read

uint32_t test_clock()
{
    const uint32_t t = test_now;
    test_now += test_tick;
    return t;
}

constexpr uint32_t BACKGROUND = 0x00101010;
constexpr uint32_t SOLID = 0xFFC08040;

class Overlays : public testing::Test {
protected:
    void SetUp() override
    {
        fx_overlays_reset();
        test_now = 0;
        test_tick = 0;
        clock_set_source(test_clock);
        core_srand(1);
        pixels.assign(FRAME_PIXELS, SOLID);
        picture.kind = PICTURE_RGBA;
        picture.width = FRAME_WIDTH;
        picture.height = FRAME_HEIGHT;
        picture.pixels = reinterpret_cast<uint8_t*>(pixels.data());
        frame = std::make_unique<FrameBuffer>();
    }
    void TearDown() override { clock_set_source(nullptr); }

    OverlayRow row(int32_t start, int32_t fade_in, int32_t end, int32_t fade_out, int x0 = 0, int y0 = 0,
                   int x1 = FRAME_WIDTH - 1, int y1 = FRAME_HEIGHT - 1)
    {
        return OverlayRow{start, fade_in, 0, end, fade_out, 0, &picture, x0, y0, x1, y1};
    }
    static OverlayRow end_row() { return OverlayRow{0, 0, 0, 0, 0, 0, nullptr, 0, 0, 319, 239}; }

    // One pass over a cleared frame at `now`; the number of lines drawn.
    int draw(std::vector<OverlayRow>& table, int32_t pos, uint32_t now)
    {
        test_now = now;
        frame->fill(BACKGROUND);
        fx_draw_overlays(*frame, table, pos);
        int lines = 0;
        for (int y = 0; y < FRAME_HEIGHT; y++) {
            bool any = false;
            for (int x = 0; x < FRAME_WIDTH; x++)
                any |= (*frame)[size_t(y * FRAME_WIDTH + x)] != BACKGROUND;
            lines += any;
        }
        return lines;
    }

    std::vector<uint32_t> pixels;
    Picture picture;
    std::unique_ptr<FrameBuffer> frame;
};

TEST_F(Overlays, FadeInFromNothingToEveryLine)
{
    std::vector<OverlayRow> table = {row(100, 1000, 200, 500), end_row()};
    EXPECT_EQ(draw(table, 100, 0), 0) << "elapsed 0 draws no line";
    EXPECT_EQ(table[0].fade_in_elapsed, 0);
    const int half = draw(table, 100, 500);
    EXPECT_EQ(table[0].fade_in_elapsed, 500);
    EXPECT_GT(half, 60);
    EXPECT_LT(half, 180);
    for (uint32_t t : {1000u, 1020u, 5000u})
        EXPECT_EQ(draw(table, 150, t), FRAME_HEIGHT) << "faded in at " << t;
    // The drawn lines are the picture, opaque, in the rectangle only.
    EXPECT_EQ((*frame)[0], SOLID);
    EXPECT_EQ((*frame)[size_t(FRAME_PIXELS - 1)], SOLID);
}

TEST_F(Overlays, WaitingRowsCountNothing)
{
    std::vector<OverlayRow> table = {row(300, 100, 400, 100), end_row()};
    EXPECT_EQ(draw(table, 299, 1000), 0);
    EXPECT_EQ(table[0].fade_in_elapsed, 0);
    // The first delta is the whole reading since the last call.
    EXPECT_EQ(draw(table, 300, 1700), FRAME_HEIGHT);
    EXPECT_EQ(table[0].fade_in_elapsed, 700);
}

TEST_F(Overlays, PositionsCompareUnsigned)
{
    // -1 (nothing heard yet) is past every start and every end.
    std::vector<OverlayRow> table = {row(300, 100, 400, 1000), end_row()};
    draw(table, -1, 50);
    EXPECT_EQ(table[0].fade_in_elapsed, 50);
    EXPECT_EQ(table[0].fade_out_elapsed, 50);
}

TEST_F(Overlays, FirstCallCountsTheWholeClock)
{
    std::vector<OverlayRow> table = {row(0, 10000, 500, 100), row(50, 10, 500, 100), end_row()};
    draw(table, 20, 4321);
    EXPECT_EQ(table[0].fade_in_elapsed, 4321);
    EXPECT_EQ(table[1].fade_in_elapsed, 0);
}

TEST_F(Overlays, FadeOutOfOneEndsOnTheFirstTickAtTheEnd)
{
    std::vector<OverlayRow> table = {row(0, 10, 300, 1), end_row()};
    EXPECT_EQ(draw(table, 0, 100), FRAME_HEIGHT);
    EXPECT_EQ(draw(table, 300, 100), FRAME_HEIGHT) << "no time has passed yet";
    EXPECT_EQ(draw(table, 300, 101), 0);
    EXPECT_EQ(draw(table, 299, 5000), 0) << "finished rows stay silent";
}

TEST_F(Overlays, FadeOutThins)
{
    std::vector<OverlayRow> table = {row(0, 10, 300, 1000), end_row()};
    draw(table, 0, 100);
    EXPECT_EQ(draw(table, 300, 100), FRAME_HEIGHT);
    const int half = draw(table, 300, 600);
    EXPECT_GT(half, 60);
    EXPECT_LT(half, 180);
    EXPECT_EQ(draw(table, 300, 1100), 0);
}

TEST_F(Overlays, LaterRowsLieOnTopAndTheTableEndsAtNull)
{
    std::vector<uint32_t> other(FRAME_PIXELS, 0xFF0000FF);
    Picture second = picture;
    second.pixels = reinterpret_cast<uint8_t*>(other.data());
    std::vector<OverlayRow> table = {row(0, 1, 999, 1, 0, 0, 9, 9), row(0, 1, 999, 1, 5, 5, 14, 14),
                                     end_row(), row(0, 1, 999, 1)};
    table[1].picture = &second;
    draw(table, 0, 50);
    EXPECT_EQ((*frame)[0], SOLID);
    EXPECT_EQ((*frame)[size_t(5 * FRAME_WIDTH + 5)], 0xFF0000FFu);
    EXPECT_EQ((*frame)[size_t(20 * FRAME_WIDTH + 20)], BACKGROUND) << "rows after the null one are not read";
    EXPECT_EQ(table[3].fade_in_elapsed, 0);
}

TEST_F(Overlays, NullFirstRowStillTakesTheTime)
{
    std::vector<OverlayRow> empty = {end_row()};
    EXPECT_EQ(draw(empty, 0, 800), 0);
    std::vector<OverlayRow> table = {row(0, 1000, 999, 1), end_row()};
    draw(table, 0, 900);
    EXPECT_EQ(table[0].fade_in_elapsed, 100);
}

TEST_F(Overlays, EmptyRectangles)
{
    std::vector<OverlayRow> table = {row(0, 1, 999, 1, 10, 0, 9, 239), row(0, 1, 999, 1, 0, 9, 319, 8),
                                     end_row()};
    EXPECT_EQ(draw(table, 0, 100), 0);
    EXPECT_EQ(table[0].fade_in_elapsed, 100);
}

TEST_F(Overlays, TimeInsideTheCallIsNotCounted)
{
    // Every read of the clock moves it on by 7 ms: the drawing "takes" 7.
    std::vector<OverlayRow> table = {row(0, 100000, 999, 1), end_row()};
    test_tick = 7;
    draw(table, 0, 1000);  // reads 1000 and 1007
    draw(table, 0, 1050);  // reads 1050: 43 more
    EXPECT_EQ(table[0].fade_in_elapsed, 1043);
}

}  // namespace
