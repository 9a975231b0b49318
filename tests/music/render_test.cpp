// The module as the demo hears it: through modrender's renderer (our
// loader, tick engine and mixer), from the first row to the last row of
// order entry 13.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/music/onsets.h"
#include "tools/music/mod_writer.h"
#include "tools/music/our_render.h"
#include "tools/music/score.h"
#include "tools/music/song_checks.h"

namespace {

constexpr int SHOW_ORDERS = 14;

const std::vector<uint8_t>& image()
{
    static const std::vector<uint8_t> bytes = mod_bytes(build_song());
    return bytes;
}

const Rendering& full()
{
    static const Rendering r = render_ours(image(), SHOW_ORDERS);
    return r;
}

TEST(OurPlayer, LoadsAndKeepsOneRowEvery5292Frames)
{
    ASSERT_TRUE(full().loaded);
    const auto& rows = full().rows;
    ASSERT_EQ(rows.size(), size_t(SHOW_ORDERS * 64));
    for (size_t k = 0; k < rows.size(); ++k) {
        ASSERT_EQ(rows[k].order, int(k / 64)) << k;
        ASSERT_EQ(rows[k].row, int(k % 64)) << k;
        ASSERT_EQ(rows[k].frame, long(k) * 5292) << k;
    }
    EXPECT_EQ(full().samples.size() / 2, size_t(SHOW_ORDERS * 64 * 5292));  // 107.52 s
}

TEST(OurPlayer, NoFrameWrapsAndThePeakIsInRange)
{
    EXPECT_EQ(full().wrapped_frames, 0);
    long peak = full().peak;
    double dbfs = 20 * std::log10(peak / 32768.0);
    EXPECT_GE(dbfs, -6.0);
    EXPECT_LE(dbfs, -0.5);
    // the generator's proof holds for what the mixer really does
    LevelBound b = level_bound(build_song(), SHOW_ORDERS);
    EXPECT_LE(peak, std::max(b.first, b.second));
}

TEST(OurPlayer, EveryCueIsAnOnset)
{
    for (int pos : CUES) {
        double rise = onset_rise(full().samples, row_frame(pos));
        EXPECT_GE(rise, 2.0) << "cue " << pos;
    }
}

TEST(OurPlayer, TheEndRingsAndTheStartIsQuiet)
{
    // the last chord is still sounding on the last row of entry 13
    long last = row_frame(1363);
    double ring = 0;
    for (long i = last; i < last + 5292; ++i)
        ring = std::max(ring, std::fabs(double(full().samples[2 * i])));
    EXPECT_GT(ring, 2000);
    // the intro is quiet next to the full groove
    auto peak_of = [](int from, int to) {
        int p = 0;
        for (long i = 2 * row_frame(from); i < 2 * row_frame(to); ++i)
            p = std::max(p, std::abs(int(full().samples[size_t(i)])));
        return p;
    };
    EXPECT_LT(peak_of(0, 100) * 3, peak_of(500, 700));
}

}  // namespace
