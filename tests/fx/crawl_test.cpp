// The crawl on a target and buffer that never stop a walker, and on
// pictures that would lead the walkers off the frame.
#include "core/rand.h"
#include "gfx/fx/crawl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Green and blue 128 (not bright), so no walker ends on the target; every
// buffer pixel it draws or darkens keeps green at 128 or more, so no walker
// ends on the buffer either.
constexpr uint32_t TRAIL = 0x00008080;

class Crawl : public testing::Test {
protected:
    void SetUp() override
    {
        fx_crawl_reset();
        core_srand(3);
        buf = std::make_unique<FrameBuffer>();
        buf->fill(0x00FFFFFF);
        use_target(FRAME_HEIGHT, TRAIL);
    }
    void use_target(int height, uint32_t colour)
    {
        pixels.assign(size_t(FRAME_WIDTH * height), colour);
        target.kind = PICTURE_RGBA;
        target.width = FRAME_WIDTH;
        target.height = height;
        target.pixels = reinterpret_cast<uint8_t*>(pixels.data());
    }
    uint32_t at(int x, int y) const { return (*buf)[size_t(y * FRAME_WIDTH + x)]; }
    // Pixels set to the trail colour since the buffer was white.
    int trail_pixels() const
    {
        int n = 0;
        for (uint32_t p : *buf)
            n += p == TRAIL;
        return n;
    }

    std::unique_ptr<FrameBuffer> buf;
    std::vector<uint32_t> pixels;
    Picture target;
};

TEST_F(Crawl, FirstWalkerAndItsThreeChildren)
{
    // Alone, walker 0 draws one pixel a call, up and to the left.
    for (int call = 1; call <= 19; call++) {
        fx_crawl(*buf, target);
        ASSERT_EQ(at(215 - call, 180 - call), TRAIL) << call;
        ASSERT_EQ(trail_pixels(), call);
    }
    // Step 20: a child turned to (-1, +1), whose slot comes later, so it
    // moves in the same call.
    fx_crawl(*buf, target);
    EXPECT_EQ(at(195, 160), TRAIL);
    EXPECT_EQ(at(194, 161), TRAIL);
    EXPECT_EQ(trail_pixels(), 21);
    for (int call = 21; call <= 39; call++)
        fx_crawl(*buf, target);
    EXPECT_NE(at(176, 139), TRAIL);
    // Step 40: a child turned the other way, to (+1, -1).
    fx_crawl(*buf, target);
    EXPECT_EQ(at(175, 140), TRAIL);
    EXPECT_EQ(at(176, 139), TRAIL);
    for (int call = 41; call <= 59; call++)
        fx_crawl(*buf, target);
    EXPECT_NE(at(154, 121), TRAIL);
    // Step 60: the last child, (-1, +1) again, and walker 0 ends.
    fx_crawl(*buf, target);
    EXPECT_EQ(at(155, 120), TRAIL);
    EXPECT_EQ(at(154, 121), TRAIL);
    for (int call = 61; call <= 70; call++)
        fx_crawl(*buf, target);
    EXPECT_NE(at(154, 119), TRAIL);
}

TEST_F(Crawl, AtMostTwelveDotsACall)
{
    // A pixel goes from white to the trail colour only as a dot's centre (a
    // neighbour blends halfway), so counting those counts dots on fresh ground.
    int most = 0;
    for (int call = 0; call < 400; call++) {
        const FrameBuffer before = *buf;
        fx_crawl(*buf, target);
        int dots = 0;
        for (int i = 0; i < FRAME_PIXELS; i++)
            dots += before[size_t(i)] == 0x00FFFFFF && (*buf)[size_t(i)] == TRAIL;
        ASSERT_LE(dots, CRAWL_DOTS_PER_CALL) << call;
        most = std::max(most, dots);
    }
    EXPECT_EQ(most, CRAWL_DOTS_PER_CALL) << "the walkers should have branched into more than 12";
}

TEST_F(Crawl, WalkersStayInsideTheFrameAndThePicture)
{
    // Nothing stops these walkers but the edges: of the frame, and of a
    // target only 200 rows tall. Heap storage of exact size shows a stray
    // read or write under the sanitiser.
    use_target(200, TRAIL);
    for (int call = 0; call < 3000; call++)
        fx_crawl(*buf, target);
    for (int x = 0; x < FRAME_WIDTH; x++)
        for (int y = 200; y < FRAME_HEIGHT; y++)
            ASSERT_NE(at(x, y), TRAIL) << "a walker went below the picture at " << x << "," << y;
}

TEST_F(Crawl, BrightTargetAndDarkBufferStopWalkers)
{
    use_target(FRAME_HEIGHT, 0x00808080);
    fx_crawl(*buf, target);
    fx_crawl(*buf, target);
    EXPECT_EQ(at(214, 179), 0x00FFFFFFu) << "a bright target pixel ends the walker before it draws";

    fx_crawl_reset();
    use_target(FRAME_HEIGHT, TRAIL);
    buf->fill(0x00FF7F7F);  // red bright, green and blue below 128
    fx_crawl(*buf, target);
    EXPECT_EQ(trail_pixels(), 0);
}

}  // namespace
