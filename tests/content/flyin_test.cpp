// The compiled-in fly-in records: their ranges and form, coarse to fine,
// and the painting they leave, replayed with the landing rule and compared
// with the grey of pic07.
#include "gfx/fx/flyin_rect.h"
#include "tests/content/read_png.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int W = 320, H = 240;

double mean_area(int from, int count)
{
    double sum = 0;
    for (int i = from; i < from + count; i++)
        sum += double((flyin_rects[size_t(i)].w + 1) * (flyin_rects[size_t(i)].h + 1));
    return sum / count;
}

// The landing rule: every covered byte moves a quarter of the way to grey.
std::vector<uint8_t> paint()
{
    std::vector<uint8_t> p(W * H, 0);
    for (const FlyinRect& r : flyin_rects) {
        const int grey = r.grey & 255;
        for (int y = std::max(r.y, 0); y <= std::min(r.y + r.h, H - 1); y++)
            for (int x = std::max(r.x, 0); x <= std::min(r.x + r.w, W - 1); x++) {
                uint8_t& v = p[size_t(y) * W + size_t(x)];
                v = uint8_t((grey >> 2) + ((3 * v) >> 2));
            }
    }
    return p;
}

std::vector<uint8_t> emblem_grey()
{
    const PngFile pic = read_png(data_path("pic07.png"));
    std::vector<uint8_t> g;
    for (uint32_t v : pic.argb)
        g.push_back(uint8_t((77 * ((v >> 16) & 255) + 150 * ((v >> 8) & 255) + 29 * (v & 255)) >> 8));
    return g;
}

double rms(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    double sum = 0;
    for (size_t i = 0; i < a.size(); i++)
        sum += (double(a[i]) - double(b[i])) * (double(a[i]) - double(b[i]));
    return std::sqrt(sum / double(a.size()));
}

}  // namespace

TEST(Flyin, RecordsKeepToTheirRanges)
{
    for (size_t i = 0; i < flyin_rects.size(); i++) {
        const FlyinRect& r = flyin_rects[i];
        EXPECT_TRUE(r.x >= -16 && r.x <= 317) << i << ": x " << r.x;
        EXPECT_TRUE(r.y >= -17 && r.y <= 237) << i << ": y " << r.y;
        EXPECT_TRUE(r.w >= 3 && r.w <= 35) << i << ": w " << r.w;
        EXPECT_TRUE(r.h >= 3 && r.h <= 35) << i << ": h " << r.h;
        const int g = r.grey & 255;
        EXPECT_EQ(r.grey, 0x40000000 | g << 16 | g << 8 | g) << i << ": grey word";
        EXPECT_LE(g, 244) << i;
        EXPECT_EQ(r.reserved0, 0) << i;
        EXPECT_EQ(r.reserved1, 0) << i;
        // Something of it lands on the screen.
        EXPECT_TRUE(r.x + r.w >= 0 && r.y + r.h >= 0) << i;
    }
}

TEST(Flyin, CoarseToFine)
{
    const double first = mean_area(0, 500), last = mean_area(2500, 500);
    EXPECT_NEAR(first, 300, 40);
    EXPECT_NEAR(last, 130, 25);
    // And falling all the way, not only at the ends.
    for (int block = 0; block + 1 < 6; block++)
        EXPECT_GT(mean_area(block * 500, 500), mean_area(block * 500 + 500, 500)) << "block " << block;
}

TEST(Flyin, PaintingResemblesTheEmblem)
{
    const std::vector<uint8_t> target = emblem_grey();
    ASSERT_EQ(target.size(), size_t(W * H));
    const double error = rms(paint(), target);
    const double blank = rms(std::vector<uint8_t>(W * H, 0), target);
    std::printf("fly-in painting: rms error %.2f grey levels against pic07 (blank painting: %.2f)\n", error,
                blank);
    RecordProperty("rms_error", std::to_string(error));
    RecordProperty("rms_blank", std::to_string(blank));
    EXPECT_LT(error, 0.25 * blank);
    EXPECT_LT(error, 22.0);
}
