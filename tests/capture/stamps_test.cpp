// Row stamps on a virtual clock: the player's audio callback, called at the
// times a device asks for its buffers (as capture calls it), stamps every
// row of the show's music when modrender's renderer says it is heard.
#include "tests/capture/stamps.h"

#include "core/clock.h"
#include "sound/player/player_clock.h"
#include "sound/player/player_state.h"
#include "tests/content/read_png.h"
#include "tools/modrender/render.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int32_t LAST_INDEX = 13 * 64 + 63;  // MusicPos 1363, the first past the show

int64_t buffer_time(int64_t j) { return j * 4096 * 1000 / 44100; }

uint32_t virtual_ms = 0;
uint32_t virtual_clock() { return virtual_ms; }

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
        int32_t index;  // RowTimes index of the row in force after the tick
    };
    std::vector<uint8_t> image = show_module();
    std::vector<Tick> ticks;
    if (!render_open(image.data(), image.size()))
        return {};
    RenderHooks hooks;
    hooks.tick = [&ticks](int64_t frame, bool) {
        const Playback& p = pt_state().play;
        ticks.push_back({frame, p.order_pos * 64 + p.row});
    };
    render_run(int64_t(44100) * 140, hooks);

    std::vector<int64_t> stamps(PT_ROW_TIMES, -1);
    int32_t cursor = 0;
    for (size_t i = 0; i + 1 < ticks.size(); i++) {
        const int64_t f = ticks[i].frame;
        const int64_t end = std::min(ticks[i + 1].frame, (f / 4096 + 1) * 4096);
        const int64_t t = buffer_time(end / 4096) + (end % 4096) * 1000 / 44100;
        for (; cursor <= ticks[i].index && cursor < PT_ROW_TIMES; cursor++)
            stamps[size_t(cursor)] = t;
    }
    return stamps;
}

int64_t predicted_stamp_past_end() { return predicted_row_stamps()[LAST_INDEX]; }

TEST(VirtualClock, RowStampsAreWhenTheSoundtrackPlaysThem)
{
    const std::vector<int64_t> predicted = predicted_row_stamps();
    ASSERT_GT(predicted[LAST_INDEX], 100000) << "the show's music reaches 1363 after 100 s";

    std::vector<uint8_t> image = show_module();
    ASSERT_EQ(render_open(image.data(), image.size()), 1);
    clock_set_source(virtual_clock);
    std::vector<int16_t> buffer(2 * 4096);
    for (int64_t j = 0; pt_position_time(1363) == PT_NOT_HEARD && j < 2000; j++) {
        virtual_ms = uint32_t(buffer_time(j));
        pt_audio_callback(nullptr, reinterpret_cast<uint8_t*>(buffer.data()), int(buffer.size() * 2));
    }
    clock_set_source(nullptr);
    for (int32_t index = 0; index <= LAST_INDEX; index++) {
        const int32_t pos = index / 64 * 100 + index % 64;
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
    clock_set_source(virtual_clock);
    static int32_t asked = 0;
    pt_set_output_delay([] {
        asked++;
        return int32_t(321);
    });
    std::vector<int16_t> buffer(2 * 4096);
    int32_t buffers = 0;
    for (; buffers < 300; buffers++) {
        virtual_ms = uint32_t(buffer_time(buffers));
        pt_audio_callback(nullptr, reinterpret_cast<uint8_t*>(buffer.data()), int(buffer.size() * 2));
    }
    pt_set_output_delay(nullptr);
    clock_set_source(nullptr);
    EXPECT_EQ(asked, buffers);
    int32_t checked = 0;
    for (int32_t index = 0; index <= LAST_INDEX; index++) {
        const int32_t pos = index / 64 * 100 + index % 64;
        if (predicted[size_t(index)] >= buffer_time(buffers - 1))
            break;
        ASSERT_EQ(pt_position_time(pos), predicted[size_t(index)] + 321) << "MusicPos " << pos;
        checked++;
    }
    EXPECT_GT(checked, 200);
}
