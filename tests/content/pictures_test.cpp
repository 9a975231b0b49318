// The generated pictures, read back from data/: sizes and format, the
// wrap and tiling the scenes rely on, the static's brightness, and the
// transparency of overlays, sprites and credits outside their rectangles.
#include "app/scene_tables.h"
#include "gfx/picture/picture_list.h"
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

PngFile picture(PictureId id) { return read_png(data_path(picture_file_name(id))); }

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
    for (int i = 0; i < PICTURE_COUNT; i++) {
        const PictureId id = PictureId(i);
        const PngFile p = picture(id);
        ASSERT_TRUE(p.ok) << picture_file_name(id);
        EXPECT_EQ(p.colour_type, 6) << picture_file_name(id) << " is not RGBA";
        EXPECT_EQ(p.bit_depth, 8) << picture_file_name(id);
        EXPECT_TRUE(picture_size_fits(id, p.width, p.height))
            << "entry " << i << ": " << p.width << "x" << p.height;
    }
}

TEST(Pictures, FullScreenPicturesAreOpaque)
{
    for (PictureId id : {PICTURE_CIRCLES, PICTURE_CIRCLES_MASK, PICTURE_CRAWL_TARGET, PICTURE_TOWER,
                         PICTURE_EMBLEM, PICTURE_DARK_BACKDROP, PICTURE_NOISE}) {
        const PngFile p = picture(id);
        ASSERT_TRUE(p.ok);
        const long clear =
            std::count_if(p.argb.begin(), p.argb.end(), [](uint32_t v) { return (v >> 24) != 255; });
        EXPECT_EQ(clear, 0) << picture_file_name(id);
    }
}

TEST(Pictures, TowerWrapsFromBottomToTop)
{
    const PngFile p = picture(PICTURE_TOWER);
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
        PictureId n;
        int period;
    } cases[] = {{PICTURE_CIRCLES, 32}, {PICTURE_CIRCLES_MASK, 34}};
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
        EXPECT_EQ(mismatches, 0) << picture_file_name(c.n);
    }
}

TEST(Pictures, CirclesAndToSomethingVisible)
{
    // The scene ANDs the two pictures: the result must keep colour.
    const PngFile a = picture(PICTURE_CIRCLES), b = picture(PICTURE_CIRCLES_MASK);
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
    const PngFile p = picture(PICTURE_NOISE);
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
    const PngFile p = picture(PICTURE_CRAWL_TARGET);
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
    const PngFile p = picture(PICTURE_DARK_BACKDROP);
    ASSERT_TRUE(p.ok);
    long sum = 0;
    for (uint32_t v : p.argb)
        sum += luma(v);
    EXPECT_LT(sum / long(p.argb.size()), 48);
}

TEST(Pictures, OverlaysStayInsideTheirRectangles)
{
    // Full-screen overlays (the static, the backdrop) have nothing outside.
    for (const OverlaySlot& row : OVERLAY_SCHEDULE) {
        const bool full = row.x0 == 0 && row.y0 == 0 && row.x1 == 319 && row.y1 == 239;
        if (row.picture != OVERLAY_END && !full)
            expect_only_inside(picture(PictureId(row.picture)), {{row.x0, row.y0, row.x1, row.y1}});
    }
}

TEST(Pictures, SpritesStayInsideTheirRectangles)
{
    std::vector<Box> boxes;
    for (const PlateSpot& s : SMOKE_SPRITES)
        boxes.push_back({s.x, s.y, s.x + SPRITE_WIDTH - 1, std::min(s.y + SPRITE_HEIGHT - 1, 239)});
    expect_only_inside(picture(PICTURE_SPRITES), boxes);
}

TEST(Pictures, CreditLinesStayInsideTheirRectangles)
{
    std::vector<Box> boxes;
    for (size_t i = 0; i < CREDIT_LINES.size(); i++) {
        const PlateSpot& c = CREDIT_LINES[i];
        boxes.push_back({c.x, c.y, c.x + credit_line_width(i) - 1, c.y + CREDIT_HEIGHT - 1});
    }
    expect_only_inside(picture(PICTURE_CREDITS), boxes);
}
