// The smoke's recovery and particles.
#include "core/rand.h"
#include "gfx/fx/smoke.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

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
