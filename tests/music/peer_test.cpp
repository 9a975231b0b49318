// The module in two peer players: both load it, both keep the same row
// timeline as ours (one row every 6 ticks of 882 frames) up to the last row
// of order entry 13, and the cues, the quiet section and the silent end are
// in a peer's rendering too.
#include <gtest/gtest.h>

#include <xmp.h>

#include <libopenmpt/libopenmpt.hpp>

#include "app/show_cues.h"
#include "tests/music/onsets.h"
#include "tools/music/mod_writer.h"
#include "tools/music/score.h"
#include "tools/music/song_checks.h"

namespace {

constexpr int SHOW_TICKS = 14 * 64 * 6;

const std::vector<uint8_t>& image()
{
    static const std::vector<uint8_t> bytes = mod_bytes(build_song());
    return bytes;
}

// Renders tick by tick (TICK_FRAMES each) and notes the row of every tick.
struct PeerRendering {
    std::vector<int16_t> samples;
    std::vector<std::pair<int, int>> tick_rows;
};

const PeerRendering& openmpt_render()
{
    static const PeerRendering r = [] {
        PeerRendering out;
        openmpt::module mod(image());
        std::vector<int16_t> chunk(2 * TICK_FRAMES);
        for (int t = 0; t < SHOW_TICKS; ++t) {
            size_t got = mod.read_interleaved_stereo(SAMPLE_RATE, TICK_FRAMES, chunk.data());
            out.tick_rows.push_back({mod.get_current_order(), mod.get_current_row()});
            out.samples.insert(out.samples.end(), chunk.begin(), chunk.begin() + 2 * long(got));
        }
        return out;
    }();
    return r;
}

TEST(Openmpt, LoadsAsAnEightChannelModule)
{
    openmpt::module mod(image());
    EXPECT_EQ(mod.get_num_channels(), 8);
    EXPECT_GE(mod.get_num_orders(), 14);
    EXPECT_EQ(mod.get_num_samples(), 31);  // every header slot of the format
    EXPECT_NEAR(mod.get_duration_seconds(), 15 * 7.68, 0.1);
}

TEST(Openmpt, RowTimelineMatchesOursToTheEndOfEntry13)
{
    const auto& rows = openmpt_render().tick_rows;
    ASSERT_EQ(rows.size(), size_t(SHOW_TICKS));
    for (int t = 0; t < SHOW_TICKS; ++t) {
        int k = t / 6;
        ASSERT_EQ(rows[t], std::make_pair(k / 64, k % 64)) << "tick " << t;
    }
}

TEST(Openmpt, EveryCueIsAnOnset)
{
    for (int pos : show_cues())
        EXPECT_GE(onset_rise(openmpt_render().samples, row_frame(pos)), 2.0) << "cue " << pos;
}

// With its own interpolation and ramps a peer still hears the calm fade
// scene and a show that ends on silence.
TEST(Openmpt, HearsTheQuietSectionAndTheSilentEnd)
{
    const auto& s = openmpt_render().samples;
    double calm = rms_dbfs(s, row_frame(900), row_frame(1000));
    EXPECT_LE(calm, rms_dbfs(s, row_frame(800), row_frame(900)) - 6);
    EXPECT_LE(calm, rms_dbfs(s, row_frame(1000), row_frame(1100)) - 6);
    const long end = row_frame(SHOW_LAST_POSITION + 1);
    EXPECT_LE(rms_dbfs(s, end - 4410, end), -50.0);
}

TEST(Libxmp, LoadsAndStepsTheSameRows)
{
    xmp_context ctx = xmp_create_context();
    ASSERT_EQ(xmp_load_module_from_memory(ctx, image().data(), long(image().size())), 0);
    xmp_module_info info;
    xmp_get_module_info(ctx, &info);
    EXPECT_EQ(info.mod->chn, 8);
    EXPECT_GE(info.mod->len, 14);
    ASSERT_EQ(xmp_start_player(ctx, SAMPLE_RATE, 0), 0);
    for (int t = 0; t < SHOW_TICKS; ++t) {
        ASSERT_EQ(xmp_play_frame(ctx), 0);
        xmp_frame_info fi;
        xmp_get_frame_info(ctx, &fi);
        int k = t / 6;
        ASSERT_EQ(fi.pos, k / 64) << "tick " << t;
        ASSERT_EQ(fi.row, k % 64) << "tick " << t;
        ASSERT_EQ(fi.frame, t % 6) << "tick " << t;
        ASSERT_EQ(fi.buffer_size, TICK_FRAMES * 4) << "tick " << t;
    }
    xmp_end_player(ctx);
    xmp_release_module(ctx);
    xmp_free_context(ctx);
}

}  // namespace
