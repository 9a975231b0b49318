// The generated pictures, read back from data/: sizes and format, the
// wrap and tiling the scenes rely on, the static's brightness, and the
// transparency of overlays, sprites and credits outside their rectangles.
#include "tests/content/read_png.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Box {
    int x0, y0, x1, y1;  // inclusive
    bool contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

PngFile picture(int n)
{
    char name[16];
    std::snprintf(name, sizeof name, "pic%02d.png", n);
    return read_png(data_path(name));
}

int luma(uint32_t p)
{
    return (77 * int((p >> 16) & 255) + 150 * int((p >> 8) & 255) + 29 * int(p & 255)) >> 8;
}

int channel_diff(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int sh = 0; sh <= 16; sh += 8)
        d += std::abs(int((a >> sh) & 255) - int((b >> sh) & 255));
    return d;
}

// Sum of channel differences between rows a and b.
long row_diff(const PngFile& p, int a, int b)
{
    long d = 0;
    for (int x = 0; x < p.width; x++)
        d += channel_diff(p.at(x, a), p.at(x, b));
    return d;
}

// Every pixel outside the boxes is transparent (alpha below 8); inside
// them there is something to see.
void expect_only_inside(const PngFile& p, const std::vector<Box>& boxes)
{
    ASSERT_TRUE(p.ok);
    int stray = 0;
    std::vector<int> seen(boxes.size(), 0);
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++) {
            const uint32_t a = p.at(x, y) >> 24;
            bool in = false;
            for (size_t b = 0; b < boxes.size(); b++)
                if (boxes[b].contains(x, y)) {
                    in = true;
                    seen[b] += a >= 8;
                }
            stray += !in && a >= 8;
        }
    EXPECT_EQ(stray, 0) << "visible pixels outside the rectangles";
    for (size_t b = 0; b < boxes.size(); b++) {
        const Box& r = boxes[b];
        const int area = (r.x1 - r.x0 + 1) * (r.y1 - r.y0 + 1);
        EXPECT_GT(seen[b], area / 20) << "rectangle " << b << " is nearly empty";
    }
}

}  // namespace

TEST(Pictures, SizesAndFormat)
{
    // The circle pictures are larger than the frame: their windows move.
    const int min_w[15] = {351, 353, 320, 320, 320, 320, 320, 320, 320, 320, 320, 320, 320, 320, 320};
    const int min_h[15] = {271, 273, 240, 240, 240, 240, 240, 240, 240, 240, 240, 240, 240, 240, 240};
    for (int n = 0; n < 15; n++) {
        const PngFile p = picture(n);
        ASSERT_TRUE(p.ok) << "pic" << n;
        EXPECT_EQ(p.colour_type, 6) << "pic" << n << " is not RGBA";
        EXPECT_EQ(p.bit_depth, 8) << "pic" << n;
        EXPECT_GE(p.width, min_w[n]) << "pic" << n;
        EXPECT_GE(p.height, min_h[n]) << "pic" << n;
        if (n >= 2) {
            // Indexed with a row length of 320 by every effect that reads them.
            EXPECT_EQ(p.width, 320) << "pic" << n;
        }
        if (n == 6 || n == 7 || n == 13 || n == 14) {
            EXPECT_EQ(p.height, 240) << "pic" << n;
        }
    }
}

TEST(Pictures, FullScreenPicturesAreOpaque)
{
    for (int n : {0, 1, 2, 6, 7, 13, 14}) {
        const PngFile p = picture(n);
        ASSERT_TRUE(p.ok);
        const long clear =
            std::count_if(p.argb.begin(), p.argb.end(), [](uint32_t v) { return (v >> 24) != 255; });
        EXPECT_EQ(clear, 0) << "pic" << n;
    }
}

TEST(Pictures, TowerWrapsFromBottomToTop)
{
    const PngFile p = picture(6);
    ASSERT_TRUE(p.ok);
    std::vector<long> diffs;
    for (int y = 0; y + 1 < p.height; y++)
        diffs.push_back(row_diff(p, y, y + 1));
    std::sort(diffs.begin(), diffs.end());
    // The seam must look like any other pair of neighbouring rows, not like
    // the jump at a window edge.
    const long seam = row_diff(p, p.height - 1, 0);
    EXPECT_LE(seam, diffs[diffs.size() * 3 / 4]) << "seam " << seam << ", median " << diffs[diffs.size() / 2];
}

TEST(Pictures, CirclesRepeatWithTheirPeriods)
{
    const struct {
        int n, period;
    } cases[] = {{0, 32}, {1, 34}};
    for (const auto& c : cases) {
        const PngFile p = picture(c.n);
        ASSERT_TRUE(p.ok);
        int mismatches = 0;
        for (int y = 0; y < p.height; y++)
            for (int x = 0; x < p.width; x++) {
                if (x + c.period < p.width)
                    mismatches += p.at(x, y) != p.at(x + c.period, y);
                if (y + c.period < p.height)
                    mismatches += p.at(x, y) != p.at(x, y + c.period);
            }
        EXPECT_EQ(mismatches, 0) << "pic" << c.n;
    }
}

TEST(Pictures, CirclesAndToSomethingVisible)
{
    // The scene ANDs the two pictures: the result must keep colour.
    const PngFile a = picture(0), b = picture(1);
    ASSERT_TRUE(a.ok && b.ok);
    long dark = 0, total = 0, sum = 0;
    for (int y = 0; y < 240; y += 3)
        for (int x = 0; x < 320; x += 3) {
            const uint32_t v = a.at(x + 7, y + 11) & b.at(x + 20, y + 5);
            dark += luma(v) < 40;
            sum += luma(v);
            total++;
        }
    EXPECT_LT(dark, total / 10);
    EXPECT_GT(sum / total, 60);
}

TEST(Pictures, StaticIsBrightEnoughForTheCrawl)
{
    const PngFile p = picture(14);
    ASSERT_TRUE(p.ok);
    const long bright =
        std::count_if(p.argb.begin(), p.argb.end(), [](uint32_t v) { return (v & 0x8080) != 0; });
    EXPECT_GE(bright, long(p.argb.size()) * 99 / 100);
    // Still noise: neighbouring pixels differ.
    long changes = 0;
    for (size_t i = 1; i < p.argb.size(); i++)
        changes += channel_diff(p.argb[i], p.argb[i - 1]) > 24;
    EXPECT_GT(changes, long(p.argb.size()) / 2);
}

TEST(Pictures, CrawlTargetKeepsWalkersInside)
{
    const PngFile p = picture(2);
    ASSERT_TRUE(p.ok);
    const auto wall = [&](int x, int y) { return (p.at(x, y) & 0x808080) == 0x808080; };
    // A line moves one column and one row per step, so a wall on the outer
    // columns and rows stops every line before it leaves the buffer.
    for (int x = 0; x < 320; x++)
        EXPECT_TRUE(wall(x, 0) && wall(x, 239)) << "column " << x;
    for (int y = 0; y < 240; y++)
        EXPECT_TRUE(wall(0, y) && wall(319, y)) << "row " << y;
    // The first line starts at (215, 180) going up and left: it must get going.
    for (int k = 1; k <= 20; k++)
        EXPECT_FALSE(wall(215 - k, 180 - k));
    // A dark picture: most of it is not wall.
    long walls = 0;
    for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++)
            walls += wall(x, y);
    EXPECT_LT(walls, 320 * 240 / 10);
}

TEST(Pictures, BackdropIsDarkEnoughForDots)
{
    const PngFile p = picture(13);
    ASSERT_TRUE(p.ok);
    long sum = 0;
    for (uint32_t v : p.argb)
        sum += luma(v);
    EXPECT_LT(sum / long(p.argb.size()), 48);
}

TEST(Pictures, OverlaysStayInsideTheirRectangles)
{
    // Overlay schedule rectangles, by picture.
    expect_only_inside(picture(8), {{0, 53, 319, 183}});
    expect_only_inside(picture(9), {{0, 42, 319, 196}});
    expect_only_inside(picture(5), {{0, 83, 93, 239}});
    expect_only_inside(picture(4), {{215, 18, 319, 239}});
    expect_only_inside(picture(10), {{0, 8, 133, 239}});
    expect_only_inside(picture(3), {{208, 70, 319, 239}});
}

TEST(Pictures, SpritesStayInsideTheirRectangles)
{
    std::vector<Box> boxes;
    for (const auto& s : {std::pair{224, 173}, std::pair{136, 12}, std::pair{128, 167}, std::pair{237, 73}})
        boxes.push_back({s.first, s.second, s.first + 73, std::min(s.second + 67, 239)});
    expect_only_inside(picture(11), boxes);
}

TEST(Pictures, CreditLinesStayInsideTheirRectangles)
{
    const int cells[15][2] = {{123, 61}, {15, 17},   {15, 127},  {15, 61},   {123, 17},
                              {15, 149}, {123, 127}, {123, 39},  {123, 149}, {123, 83},
                              {15, 83},  {15, 39},   {123, 105}, {15, 105},  {15, 193}};
    std::vector<Box> boxes;
    for (int i = 0; i < 15; i++)
        boxes.push_back({cells[i][0], cells[i][1], cells[i][0] + (i == 14 ? 159 : 104), cells[i][1] + 21});
    expect_only_inside(picture(12), boxes);
}
