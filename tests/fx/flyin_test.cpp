// fx_rect_flyin against a slow model written straight from the rules: depth
// from the record's pair and ms, landing with its clamps, the projection
// with 64-bit products cut to their low 32 bits, and the 25% blend one byte
// at a time. Both run the same frames from a fresh start, on the compiled-in
// painting and on random records, and every frame, paint image and record
// must come out identical. Then the compiled-in records themselves: their
// ranges and form, coarse to fine, and the painting they leave against the
// grey of the emblem picture they were fitted to.
#include "gfx/fx/flyin.h"
#include "gfx/fx/palettes.h"
#include "gfx/picture/picture.h"
#include "gfx/picture/picture_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using Paint = std::array<uint8_t, FRAME_PIXELS>;
using Records = std::array<FlyinRect, FLYIN_RECT_COUNT>;

struct Model {
    Records records{};
    Paint paint{};
    Paint work{};
    size_t count = FLYIN_RECT_COUNT;  // records beyond are left out

    explicit Model(const Records& r)
    {
        records = r;
        for (FlyinRect& rec : records)
            rec.grey &= 0xFF;
    }

    static void blend(Paint& image, int x0, int y0, int x1, int y1, int grey)
    {
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++) {
                uint8_t& v = image[size_t(y * FRAME_WIDTH + x)];
                v = uint8_t((grey >> 2) + ((3 * v) >> 2));
            }
    }

    static int project(int edge, int centre, int offset, int scale)
    {
        const int64_t wide = int64_t(edge - centre + offset) * scale;
        return (int32_t(wide) >> 16) + centre;  // low 32 bits, two's complement
    }

    void frame(FrameBuffer& dst, int ms, int phase)
    {
        const FlyinTables& t = fx_flyin_tables();
        work = paint;
        for (size_t j = 0; j < count; j++) {
            FlyinRect& r = records[j];
            if (r.x == FX_FLYIN_LANDED)
                continue;
            const int f = int(j / 2) + 400 - ms / 8;
            if (f <= 0) {
                const int x0 = std::max(r.x, 0), x1 = std::min(r.x + r.w, 319);
                const int y0 = std::max(r.y, 0), y1 = std::min(r.y + r.h, 239);
                blend(paint, x0, y0, x1, y1, r.grey);
                blend(work, x0, y0, x1, y1, r.grey);
                r.x = FX_FLYIN_LANDED;
            } else if (f <= 511) {
                const int s = t.depth_scale[size_t(f)];
                const int x0 = std::max(project(r.x, 160, t.spiral_x[size_t(f)], s), 0);
                const int x1 = std::min(project(r.x + r.w, 160, t.spiral_x[size_t(f)], s), 319);
                const int y0 = std::max(project(r.y, 120, t.spiral_y[size_t(f)], s), 0);
                const int y1 = std::min(project(r.y + r.h, 120, t.spiral_y[size_t(f)], s), 239);
                blend(work, x0, y0, x1, y1, r.grey);
            }
        }
        for (int y = 0; y < FRAME_HEIGHT; y++) {
            const int p = fx_row_tint()[size_t((phase + y) % FX_ROW_TINTS)];
            for (int x = 0; x < FRAME_WIDTH; x++)
                dst[size_t(y * FRAME_WIDTH + x)] =
                    fx_tint_palettes()[size_t(p)][work[size_t(y * FRAME_WIDTH + x)]];
        }
    }
};

Records compiled_in()
{
    Records r;
    std::copy(flyin_rects.begin(), flyin_rects.end(), r.begin());
    return r;
}

class Flyin : public ::testing::Test {
protected:
    void SetUp() override { fx_init_tables(); }

    Paint paint{};
    FrameBuffer frame{}, model_frame{};

    // One frame through both; all of it must agree.
    void step(Model& model, int ms, int phase)
    {
        fx_rect_flyin(frame, paint, ms, phase);
        model.frame(model_frame, ms, phase);
        ASSERT_TRUE(frame == model_frame) << "frame at ms " << ms;
        ASSERT_TRUE(paint == model.paint) << "paint at ms " << ms;
        const FlyinRecords records = fx_flyin_records();
        for (size_t j = 0; j < records.size(); j++)
            ASSERT_EQ(records[j].x, model.records[j].x) << "record " << j << " at ms " << ms;
    }
};

TEST_F(Flyin, WholeShowMatchesTheModel)
{
    Model model(compiled_in());
    // Frame gaps from 1 to 90 ms, through the first second's wrapping
    // depths and past the last landing at 15192.
    std::mt19937 rng(4);
    for (int ms = 0; ms <= 15400; ms += int(rng() % 90) + 1) {
        step(model, ms, std::max(0, ms - 9000) / 10);
        if (HasFatalFailure())
            return;
    }
    for (const FlyinRect& r : fx_flyin_records())
        EXPECT_EQ(r.x, FX_FLYIN_LANDED);
}

TEST_F(Flyin, RandomRecordsMatchTheModel)
{
    std::mt19937 rng(77);
    Records records;
    for (FlyinRect& r : records) {
        const int g = int(rng() % 256);
        // Odd greys and rectangles hanging off every edge.
        r = {int(rng() % 400) - 40,
             int(rng() % 300) - 30,
             int(rng() % 40),
             int(rng() % 40),
             0x40000000 | g << 16 | g << 8 | g,
             0,
             0};
    }
    fx_flyin_load(records);
    Model model(records);
    for (int ms = 0; ms <= 16000; ms += int(rng() % 400) + 1) {
        step(model, ms, int(rng() % 3000));
        if (HasFatalFailure())
            return;
    }
}

TEST_F(Flyin, FirstFrameFliesRecords0To223)
{
    Model all(compiled_in()), first(compiled_in());
    first.count = 224;
    fx_rect_flyin(frame, paint, 0, 0);
    first.frame(model_frame, 0, 0);
    EXPECT_TRUE(frame == model_frame);
    all.frame(model_frame, 0, 0);
    EXPECT_TRUE(frame == model_frame);
    EXPECT_TRUE(std::all_of(paint.begin(), paint.end(), [](uint8_t v) { return v == 0; }));
}

TEST_F(Flyin, Records0And1LandAt3200)
{
    fx_rect_flyin(frame, paint, 3199, 0);
    EXPECT_TRUE(std::all_of(paint.begin(), paint.end(), [](uint8_t v) { return v == 0; }));
    fx_rect_flyin(frame, paint, 3200, 0);
    const FlyinRecords records = fx_flyin_records();
    EXPECT_EQ(records[0].x, FX_FLYIN_LANDED);
    EXPECT_EQ(records[1].x, FX_FLYIN_LANDED);
    EXPECT_NE(records[2].x, FX_FLYIN_LANDED);

    Paint expected{};
    for (int j = 0; j < 2; j++) {
        const FlyinRect& r = flyin_rects[size_t(j)];
        Model::blend(expected, std::max(r.x, 0), std::max(r.y, 0), std::min(r.x + r.w, 319),
                     std::min(r.y + r.h, 239), r.grey & 0xFF);
    }
    EXPECT_TRUE(paint == expected);
    // Record 0's own corner, unless record 1 lies over it.
    const FlyinRect& r0 = flyin_rects[0];
    const int g = r0.grey & 0xFF;
    EXPECT_TRUE(paint[size_t(std::max(r0.y, 0) * FRAME_WIDTH + std::max(r0.x, 0))] == g >> 2 ||
                flyin_rects[1].x <= r0.x + r0.w);
}

TEST_F(Flyin, BlendAndLeftClamp)
{
    // Records 0 and 1 are the same grey-244 rectangle hanging off the left
    // edge; they land together at 3200, one after the other.
    Records records;
    records.fill({300, 230, 3, 3, 0x40000000, 0, 0});
    records[0] = records[1] = {-5, 10, 8, 8, 0x40F4F4F4, 0, 0};
    fx_flyin_load(records);
    fx_rect_flyin(frame, paint, 3199, 0);
    EXPECT_EQ(paint[10 * FRAME_WIDTH], 0);
    fx_rect_flyin(frame, paint, 3200, 0);
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 6; x++)
            EXPECT_EQ(paint[size_t(y * FRAME_WIDTH + x)], (y >= 10 && y <= 18 && x <= 3) ? 106 : 0)
                << x << "," << y;
    // 0 -> 61 -> 106: one landing alone gives 61.
    records[1] = records[2];
    fx_flyin_load(records);
    paint.fill(0);
    fx_rect_flyin(frame, paint, 3200, 0);
    EXPECT_EQ(paint[10 * FRAME_WIDTH], 61);
}

TEST_F(Flyin, ResetStartsTheCompiledInPaintingOver)
{
    fx_rect_flyin(frame, paint, 16000, 0);
    fx_flyin_reset();
    const FlyinRecords records = fx_flyin_records();
    for (size_t j = 0; j < records.size(); j++) {
        ASSERT_EQ(records[j].x, flyin_rects[j].x) << j;
        ASSERT_EQ(records[j].grey, flyin_rects[j].grey & 0xFF) << j;
    }
}

double mean_area(int from, int count)
{
    double sum = 0;
    for (int i = from; i < from + count; i++)
        sum += double((flyin_rects[size_t(i)].w + 1) * (flyin_rects[size_t(i)].h + 1));
    return sum / count;
}

TEST_F(Flyin, RecordsKeepToTheirRanges)
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

TEST_F(Flyin, CoarseToFine)
{
    const double first = mean_area(0, 500), last = mean_area(2500, 500);
    EXPECT_NEAR(first, 300, 40);
    EXPECT_NEAR(last, 130, 25);
    // And falling all the way, not only at the ends.
    for (int block = 0; block + 1 < 6; block++)
        EXPECT_GT(mean_area(block * 500, 500), mean_area(block * 500 + 500, 500)) << "block " << block;
}

TEST_F(Flyin, PaintingResemblesTheEmblem)
{
    // Every record lands in the first frame past the last landing.
    fx_rect_flyin(frame, paint, 16000, 0);
    Picture emblem;
    const std::string path = std::string(KIRMAVO_DATA_DIR "/") + picture_file_name(PICTURE_EMBLEM);
    ASSERT_EQ(load_png_picture(path.c_str(), &emblem), 0) << path;
    ASSERT_EQ(emblem.width * emblem.height, FRAME_PIXELS);
    picture_to_argb(&emblem);
    double error = 0, blank = 0;
    for (size_t i = 0; i < FRAME_PIXELS; i++) {
        const uint32_t v = emblem.argb()[i];
        const double grey = (77 * ((v >> 16) & 255) + 150 * ((v >> 8) & 255) + 29 * (v & 255)) >> 8;
        error += (paint[i] - grey) * (paint[i] - grey);
        blank += grey * grey;
    }
    error = std::sqrt(error / FRAME_PIXELS);
    blank = std::sqrt(blank / FRAME_PIXELS);
    std::printf("fly-in painting: rms error %.2f grey levels against the emblem (blank painting: %.2f)\n",
                error, blank);
    RecordProperty("rms_error", std::to_string(error));
    RecordProperty("rms_blank", std::to_string(blank));
    EXPECT_LT(error, 0.25 * blank);
    EXPECT_LT(error, 22.0);
}

}  // namespace
