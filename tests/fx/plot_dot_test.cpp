// The dot of the smoke and crawl trails: the centre, the halved cross, and
// the frame's edges.
#include "gfx/fx/plot_dot.h"

#include <gtest/gtest.h>

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

}  // namespace
