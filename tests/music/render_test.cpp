// The module as the demo hears it: through modrender's renderer (our
// loader, tick engine and mixer), from the first row to the last row of
// order entry 13, and for the clicks the whole song.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/show_cues.h"
#include "tests/music/clicks.h"
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
    for (int pos : show_cues()) {
        double rise = onset_rise(full().samples, row_frame(pos));
        EXPECT_GE(rise, 2.0) << "cue " << pos;
    }
}

// The show ends on the first frame past its last position: by then the
// last chord, struck on the finale's cue, has rung and died away.
TEST(OurPlayer, TheLastChordDiesAwayBeforeTheShowEnds)
{
    long end = row_frame(SHOW_LAST_POSITION + 1);
    EXPECT_LE(rms_dbfs(full().samples, end - 4410, end), -50.0);  // the last 100 ms
    EXPECT_GE(rms_dbfs(full().samples, row_frame(CUE_FINALE), row_frame(CUE_FINALE + 6)), -22.0);
}

TEST(OurPlayer, TheStartAndTheFadeSceneAreQuiet)
{
    // the intro is quiet next to the full groove
    auto peak_of = [](int from, int to) {
        int p = 0;
        for (long i = 2 * row_frame(from); i < 2 * row_frame(to); ++i)
            p = std::max(p, std::abs(int(full().samples[size_t(i)])));
        return p;
    };
    EXPECT_LT(peak_of(0, 100) * 3, peak_of(500, 700));
    // the fade scene is the calm between the painting and the mesh, and the
    // mesh still arrives with a hit
    const auto& s = full().samples;
    double calm = rms_dbfs(s, row_frame(900), row_frame(1000));
    EXPECT_LE(calm, rms_dbfs(s, row_frame(800), row_frame(900)) - 6);
    EXPECT_LE(calm, rms_dbfs(s, row_frame(1000), row_frame(1100)) - 6);
    EXPECT_GE(onset_rise(s, row_frame(1000)), 2.0);
}

// Each voice alone and the whole mix, over the whole song, tail included.
TEST(OurPlayer, AtMostTenClicksInTheWholeSong)
{
    const ScoreSong song = build_song();
    const int orders = int(song.orders.size());
    auto clicks_of = [&](const ScoreSong& s) {
        Rendering r = render_ours(mod_bytes(s), orders);
        EXPECT_TRUE(r.loaded);
        return tick_clicks(r.samples, r.ticks).size();
    };
    size_t total = 0;
    std::string where;
    for (int c = 0; c < CHANNELS; ++c) {
        ScoreSong solo = song;
        for (Pattern& p : solo.patterns)
            for (auto& row : p.rows)
                for (int k = 0; k < CHANNELS; ++k)
                    if (k != c)  // speed and tempo stay
                        row[k] = row[k].cmd == 0xF ? ScoreCell{NO_NOTE, 0, 0xF, row[k].param} : ScoreCell{};
        size_t n = clicks_of(solo);
        where += " ch" + std::to_string(c) + ":" + std::to_string(n);
        total += n;
    }
    size_t mixed = clicks_of(song);
    EXPECT_LE(total + mixed, 10u) << where << " mix:" << mixed;
}

}  // namespace
