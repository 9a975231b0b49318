// The fly-in's tables at their telling values, and the palette mapping
// against plain lookups.
#include "gfx/fx/flyin.h"
#include "gfx/fx/palettes.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

class Tables : public ::testing::Test {
protected:
    void SetUp() override { fx_init_tables(); }
};

TEST_F(Tables, SpiralAndDepth)
{
    const FlyinTables& t = fx_flyin_tables();
    const int expected[][3] = {{100, -2, 3},   {200, -13, -10},  {300, 43, -8},
                               {400, -11, 52}, {500, -104, -45}, {511, -91, -62}};
    for (const auto& e : expected) {
        EXPECT_EQ(t.spiral_x[size_t(e[0])], e[1]) << "f " << e[0];
        EXPECT_EQ(t.spiral_y[size_t(e[0])], e[2]) << "f " << e[0];
    }
    EXPECT_EQ(t.spiral_x[0], 0);
    EXPECT_EQ(t.spiral_y[0], 0);
    EXPECT_EQ(t.depth_scale[0], 65536);
    EXPECT_EQ(t.depth_scale[256], 131072);
    EXPECT_EQ(t.depth_scale[511], 33554432);
}

TEST_F(Tables, PalettesAndRowTint)
{
    EXPECT_EQ(fx_tint_palettes()[45][0], 0x5A0B0Bu);
    EXPECT_EQ(fx_tint_palettes()[0][200], 0xC8C8C8u);  // palette 0 is plain grey
    EXPECT_EQ(fx_tint_palettes()[127][255], 0xFFFFFFu);

    const std::array<uint8_t, FX_ROW_TINTS>& tint = fx_row_tint();
    const int every20[] = {0, 11, 22, 32, 39, 43, 45, 43, 38, 30, 20, 7, 0};
    for (int i = 0; i < 13; i++)
        EXPECT_EQ(tint[size_t(240 + 20 * i)], every20[i]) << "j " << 240 + 20 * i;
    // One hump, 242..469, and nothing elsewhere.
    for (int j = 0; j < FX_ROW_TINTS; j++) {
        if (j >= 242 && j <= 469)
            EXPECT_GT(tint[size_t(j)], 0) << j;
        else
            EXPECT_EQ(tint[size_t(j)], 0) << j;
        EXPECT_LE(tint[size_t(j)], 45) << j;
    }
    EXPECT_EQ(tint[354], 45);
}

TEST_F(Tables, PaletteMapTakesEachRowsPalette)
{
    std::mt19937 rng(13);
    std::vector<uint8_t> src(FRAME_PIXELS);
    for (uint8_t& v : src)
        v = uint8_t(rng());
    static FrameBuffer dst;
    for (int32_t phase : {0, 112, 300, 1900, 2047, 5000}) {
        fx_palette_map(dst, std::span<const uint8_t, FRAME_PIXELS>(src.data(), FRAME_PIXELS), phase);
        for (int y = 0; y < FRAME_HEIGHT; y++) {
            const int p = fx_row_tint()[size_t((phase + y) % FX_ROW_TINTS)];
            for (int x = 0; x < FRAME_WIDTH; x++) {
                const size_t i = size_t(y * FRAME_WIDTH + x);
                ASSERT_EQ(dst[i], fx_tint_palettes()[size_t(p)][src[i]]) << phase << " " << x << "," << y;
            }
        }
    }
    // Row 130 at phase 112 reads row_tint[242], the first tinted one.
    fx_palette_map(dst, std::span<const uint8_t, FRAME_PIXELS>(src.data(), FRAME_PIXELS), 112);
    const size_t i = 130 * FRAME_WIDTH;
    EXPECT_EQ(dst[i], fx_tint_palettes()[fx_row_tint()[242]][src[i]]);
    EXPECT_NE(fx_row_tint()[242], 0);
}

}  // namespace
