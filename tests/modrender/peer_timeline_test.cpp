// Our row timeline against the peer library's on the real modules: modrender
// --trace rows to the song's end, row by row, against the rows the peer
// plays in its own single pass through the song, read back every few
// frames while it renders. Order, pattern, row, speed and tempo must agree,
// each row must start at the same frame up to the read granularity, and
// the song must end at the same frame. The peer's last read already shows
// the row it would go on to (the row played before that our end rule stops
// at), one row more than ours.
#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/sound_rates.h"
#include "tests/modrender/run_tool.h"
#include "tests/player/real_modules.h"
#include "tests/support/test_files.h"

namespace {

constexpr int32_t read_frames = 16;

struct Row {
    int64_t frame;  // ours: exact; peer: end of the read in which it was first seen
    TraceRow at;
};

// Consecutive lines at the same position (a one-row loop) are one stretch
// to a reader that only samples the position.
std::vector<Row> merged(const std::vector<TraceRow>& rows)
{
    std::vector<Row> out;
    for (const TraceRow& r : rows) {
        if (!out.empty() && out.back().at.order == r.order && out.back().at.row == r.row)
            continue;
        out.push_back({r.frame, r});
    }
    return out;
}

std::vector<Row> peer_rows(const std::vector<uint8_t>& image)
{
    std::vector<Row> out;
    openmpt_module* mod = openmpt_module_create_from_memory2(image.data(), image.size(), nullptr, nullptr,
                                                             nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!mod)
        return out;
    openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 1);
    int16_t buffer[2 * read_frames];
    int64_t frames = 0;
    for (;;) {
        const size_t n = openmpt_module_read_interleaved_stereo(mod, SAMPLE_RATE, read_frames, buffer);
        if (n == 0)
            break;
        frames += int64_t(n);
        const int32_t order = openmpt_module_get_current_order(mod);
        const int32_t row = openmpt_module_get_current_row(mod);
        if (!out.empty() && out.back().at.order == order && out.back().at.row == row)
            continue;
        out.push_back({frames,
                       {frames, order, openmpt_module_get_current_pattern(mod), row,
                        openmpt_module_get_current_speed(mod), openmpt_module_get_current_tempo(mod)}});
    }
    openmpt_module_destroy(mod);
    return out;
}

TEST(PeerTimeline, RowsToTheSongsEndMatchThePeer)
{
    const std::vector<std::string> mods = real_modules();
    if (mods.empty())
        GTEST_SKIP() << "the freedroid-data and circuslinux-data modules could not be fetched";
    for (const std::string& path : mods) {
        SCOPED_TRACE(path);
        const ToolRun r = run_modrender({"--trace", "rows", path});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<Row> ours = merged(parse_rows(r.out));
        const std::vector<Row> peer = peer_rows(read_file(path));
        size_t same = 0;
        int64_t worst = 0;
        for (; same < ours.size() && same < peer.size(); ++same) {
            const TraceRow& a = ours[same].at;
            const TraceRow& b = peer[same].at;
            if (a.order != b.order || a.pattern != b.pattern || a.row != b.row || a.speed != b.speed ||
                a.tempo != b.tempo)
                break;
            const int64_t late = peer[same].frame - ours[same].frame;  // 0 < late <= a read, plus drift
            worst = std::max(worst, std::abs(late - read_frames / 2));
        }
        std::printf("%s: %zu rows, %zu agree; worst row start %lld frames from the read's middle\n",
                    path.c_str(), ours.size(), same, static_cast<long long>(worst));
        ASSERT_EQ(same, ours.size()) << "first difference at row " << same << ": ours ("
                                     << ours[same].at.order << ", " << ours[same].at.row << ") at "
                                     << ours[same].frame << ", peer (" << peer[same].at.order << ", "
                                     << peer[same].at.row << ") at " << peer[same].frame;
        EXPECT_LE(worst, read_frames / 2);
        ASSERT_EQ(peer.size(), ours.size() + 1);
        // The peer stops where we do: its next row is one already played.
        const TraceRow& next = peer.back().at;
        EXPECT_TRUE(std::any_of(ours.begin(), ours.end(), [&](const Row& x) {
            return x.at.order == next.order && x.at.row == next.row;
        }));
        const int64_t our_end = std::stoll(parse_summary(r.err).at("frames"));
        EXPECT_EQ(parse_summary(r.err).at("end"), "loop");
        // Seen, like every row start, by the end of the read it falls in.
        EXPECT_GT(peer.back().frame, our_end);
        EXPECT_LE(peer.back().frame - our_end, read_frames);
    }
}

}  // namespace
