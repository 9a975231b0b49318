// The dot, and the smoke's recovery and particles.
#include "core/rand.h"
#include "gfx/fx/plot_dot.h"
#include "gfx/fx/smoke.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

TEST(PlotDot, CentreAndHalfwayNeighbours)
{
    auto f = std::make_unique<FrameBuffer>();
    f->fill(0);
    const int i = 100 * FRAME_WIDTH + 50;
    fx_plot_dot(*f, i, 0xFFFFFFFF);
    EXPECT_EQ((*f)[size_t(i)], 0xFFFFFFFFu);
    for (int n : {i - 1, i + 1, i - FRAME_WIDTH, i + FRAME_WIDTH})
        EXPECT_EQ((*f)[size_t(n)], 0x007F7F7Fu);
    int touched = 0;
    for (uint32_t p : *f)
        touched += p != 0;
    EXPECT_EQ(touched, 5);

    // Colour 0 over white: black in a darkened cross.
    f->fill(0xFFFFFFFF);
    fx_plot_dot(*f, i, 0);
    EXPECT_EQ((*f)[size_t(i)], 0u);
    EXPECT_EQ((*f)[size_t(i + FRAME_WIDTH)], 0x007F7F7Fu);
}

TEST(PlotDot, EdgesDoNotWrapOrLeave)
{
    // One dot per frame; each frame is heap storage of exactly one frame, so
    // a neighbour beyond either end shows under the sanitiser.
    struct Case {
        int i;
        int touched;  // centre and neighbours inside the frame
    };
    const Case cases[] = {{0, 3},
                          {FRAME_WIDTH - 1, 3},
                          {FRAME_WIDTH, 4},  // row 1, column 0: row 0's last pixel stays
                          {2 * FRAME_WIDTH - 1, 4},
                          {FRAME_PIXELS - 1, 3},
                          {-1, 0},
                          {FRAME_PIXELS, 0}};
    for (const Case& c : cases) {
        auto f = std::make_unique<FrameBuffer>();
        f->fill(0);
        fx_plot_dot(*f, c.i, 0x00FEFEFE);
        int touched = 0;
        for (uint32_t p : *f)
            touched += p != 0;
        EXPECT_EQ(touched, c.touched) << "dot at " << c.i;
    }
}

class Smoke : public testing::Test {
protected:
    void SetUp() override
    {
        fx_smoke_reset();
        core_srand(5);
        buf = std::make_unique<FrameBuffer>();
        target = std::make_unique<FrameBuffer>();
    }
    std::unique_ptr<FrameBuffer> buf, target;
};

TEST_F(Smoke, RecoversUpwardsOnlyAndOnlyRightOfColumn60)
{
    target->fill(0x80808080);
    buf->fill(0x7B807B90);  // alpha and green 5 below, red equal, blue above
    for (int call = 1; call <= 6; call++) {
        fx_smoke(*buf, *target, 0, 0);
        const uint32_t want = call < 5 ? 0x7B807B90 + 0x01000100u * uint32_t(call) : 0x80808090;
        ASSERT_EQ((*buf)[60], want) << call;
        ASSERT_EQ((*buf)[size_t(FRAME_PIXELS - 1)], want) << call;
        ASSERT_EQ((*buf)[59], 0x7B807B90u);
        ASSERT_EQ((*buf)[size_t(FRAME_PIXELS - 261)], 0x7B807B90u);
    }
}

TEST_F(Smoke, ParticlesLeaveBlackDotsFromTheSource)
{
    target->fill(0x00FFFFFF);
    buf->fill(0x00FFFFFF);
    fx_smoke(*buf, *target, SMOKE_PARTICLES, 0);
    // One move from x = 75 px and y = 150..179 px by at least 2400/1024 to
    // the right and 600/1024 up: every dot is in columns 77..78, rows 148..178.
    int dots = 0;
    for (int y = 0; y < FRAME_HEIGHT; y++)
        for (int x = 0; x < FRAME_WIDTH; x++)
            if ((*buf)[size_t(y * FRAME_WIDTH + x)] == 0) {
                dots++;
                EXPECT_TRUE(x >= 77 && x <= 78 && y >= 148 && y <= 178) << x << "," << y;
            }
    EXPECT_GE(dots, 1);
    EXPECT_LE(dots, SMOKE_PARTICLES);
}

TEST_F(Smoke, ManyCallsStayInTheBuffer)
{
    // Heap buffers of one frame each: a stray dot shows under the sanitiser.
    target->fill(0x00FFFFFF);
    buf->fill(0x00FFFFFF);
    for (int call = 0; call < 4000; call++)
        fx_smoke(*buf, *target, SMOKE_PARTICLES, call % 300 == 0);
    // Columns 0..59 never heal, so the trails there are the sum of all calls:
    // the particles start at column 75 and move right first.
    for (int y = 0; y < FRAME_HEIGHT; y++)
        ASSERT_EQ((*buf)[size_t(y * FRAME_WIDTH)], 0x00FFFFFFu);
}

}  // namespace
