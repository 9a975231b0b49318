// Row stamps on a virtual clock: the player's audio callback, called at the
// times a device asks for its buffers (as capture calls it), stamps every
// row of the show's music when modrender's renderer says it is heard.
#include "tests/capture/stamps.h"

#include "app/headless_run.h"
#include "core/music_pos.h"
#include "core/sound_rates.h"
#include "sound/player/player_clock.h"
#include "sound/player/player_state.h"
#include "tests/content/read_png.h"
#include "tests/support/test_files.h"
#include "tools/modrender/render.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr MusicPos PAST_SHOW = SHOW_LAST_POSITION + 1;
constexpr int32_t LAST_INDEX = music_pos_index(PAST_SHOW);

std::vector<uint8_t> show_module()
{
    std::vector<uint8_t> image = read_file(data_path("music.mod"));
    image.resize(std::min<size_t>(image.size(), 1000000));
    return image;
}

}  // namespace

std::vector<int64_t> predicted_row_stamps()
{
    struct Tick {
        int64_t frame;
        int32_t index;  // row index of the row in force after the tick
    };
    std::vector<uint8_t> image = show_module();
    std::vector<Tick> ticks;
    if (!render_open(image.data(), image.size()))
        return {};
    RenderHooks hooks;
    hooks.tick = [&ticks](int64_t frame, bool) {
        const Playback& p = pt_state().play;
        ticks.push_back({frame, music_pos_index(music_pos(p.order_pos, p.row))});
    };
    render_run(int64_t(SAMPLE_RATE) * 140, hooks);

    std::vector<int64_t> stamps(PT_ROW_TIMES, -1);
    int32_t cursor = 0;
    for (size_t i = 0; i + 1 < ticks.size(); i++) {
        const int64_t f = ticks[i].frame;
        const int64_t end =
            std::min(ticks[i + 1].frame, (f / DEVICE_BUFFER_FRAMES + 1) * DEVICE_BUFFER_FRAMES);
        const int64_t t = headless_buffer_ms(end / DEVICE_BUFFER_FRAMES) +
                          (end % DEVICE_BUFFER_FRAMES) * 1000 / SAMPLE_RATE;
        for (; cursor <= ticks[i].index && cursor < PT_ROW_TIMES; cursor++)
            stamps[size_t(cursor)] = t;
    }
    return stamps;
}

int64_t predicted_stamp_past_end() { return predicted_row_stamps()[LAST_INDEX]; }

TEST(VirtualClock, RowStampsAreWhenTheSoundtrackPlaysThem)
{
    const std::vector<int64_t> predicted = predicted_row_stamps();
    ASSERT_GT(predicted[LAST_INDEX], 100000) << "the show's music reaches its end after 100 s";

    std::vector<uint8_t> image = show_module();
    ASSERT_EQ(render_open(image.data(), image.size()), 1);
    HeadlessRun run;
    headless_clock_use(run.start_ms);
    while (pt_position_time(PAST_SHOW) == PT_NOT_HEARD && run.buffers < 2000)
        headless_feed_buffer(run);
    headless_clock_release();
    for (int32_t index = 0; index <= LAST_INDEX; index++) {
        const MusicPos pos = music_pos_at_index(index);
        ASSERT_EQ(pt_position_time(pos), predicted[size_t(index)]) << "MusicPos " << pos;
    }
}

// A device that queues its buffers ahead (the browser's) names the delay as
// each buffer is made; every stamp of that buffer is that much later.
TEST(VirtualClock, AQueueingDeviceDelaysTheStampsOfEachBuffer)
{
    const std::vector<int64_t> predicted = predicted_row_stamps();
    std::vector<uint8_t> image = show_module();
    ASSERT_EQ(render_open(image.data(), image.size()), 1);
    static int32_t asked = 0;
    pt_set_output_delay([] {
        asked++;
        return int32_t(321);
    });
    HeadlessRun run;
    headless_clock_use(run.start_ms);
    while (run.buffers < 300)
        headless_feed_buffer(run);
    headless_clock_release();
    pt_set_output_delay(nullptr);
    EXPECT_EQ(asked, run.buffers);
    int32_t checked = 0;
    for (int32_t index = 0; index <= LAST_INDEX; index++) {
        if (predicted[size_t(index)] >= headless_buffer_ms(run.buffers - 1))
            break;
        const MusicPos pos = music_pos_at_index(index);
        ASSERT_EQ(pt_position_time(pos), predicted[size_t(index)] + 321) << "MusicPos " << pos;
        checked++;
    }
    EXPECT_GT(checked, 200);
}
