// The whole frame path on a virtual clock, with the show's own data: at
// clock readings up to 2^31 - 1 ms in large steps, in every scene, and for
// ten virtual minutes of a song that never reaches the show's end. Every
// frame must write inside its canvas only (guard words around it; the
// sanitizer build watches everything else).
#include "app/frame.h"
#include "app/show.h"
#include "app/startup.h"
#include "core/clock.h"
#include "sound/player/player_clock.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr size_t GUARD = 4096;  // words each side
constexpr uint32_t GUARD_WORD = 0xDEADBEEFu;
constexpr int BUFFER_FRAMES = 4096;

uint32_t virtual_now = 0;

Show show;
std::array<uint8_t, MODULE_BYTES> module_data;

struct GuardedCanvas {
    std::vector<uint32_t> words = std::vector<uint32_t>(FRAME_PIXELS + 2 * GUARD, GUARD_WORD);
    FrameView view() { return FrameView(words.data() + GUARD, FRAME_PIXELS); }
    bool intact() const
    {
        for (size_t i = 0; i < GUARD; i++)
            if (words[i] != GUARD_WORD || words[GUARD + FRAME_PIXELS + i] != GUARD_WORD)
                return false;
        return true;
    }
};

// The show as the demo starts it, on the virtual clock and the silent player.
// `song_length`, when set, replaces the module's own.
void start_show(int song_length = -1)
{
    ASSERT_EQ(chdir(SHOW_DIR), 0);
    virtual_now = 0;
    clock_set_source([] { return virtual_now; });
    int32_t size = 0;
    ASSERT_EQ(startup_load(show, module_data, size), 0);
    if (song_length >= 0)
        module_data[950] = uint8_t(song_length);
    pt_clock_reset();
    pt_open_silent(44100, BUFFER_FRAMES);
    startup_hand_over(show, module_data, size);
    startup_first_position();
}

TEST(LongRun, EverySceneAtClockReadingsUpTo2To31Minus1)
{
    start_show();
    // Stamp the whole song from 1 s on, as if heard from the start.
    virtual_now = 1000;
    for (int i = 0; i < 800; i++)
        pt_audio_callback(nullptr, nullptr, BUFFER_FRAMES * 4);

    const int32_t positions[] = {0,   1,   63,  100,  299,  300,  450,  500,  650,  700,  800,  899,
                                 900, 950, 999, 1000, 1100, 1199, 1200, 1300, 1362, 1363, 5000, 12863};
    std::vector<int32_t> nows = {0, 1, 19, 20, 1000, 99999, 9999999};
    for (int64_t now = 1 << 24; now < std::numeric_limits<int32_t>::max(); now += 1 << 25)
        nows.push_back(int32_t(now));
    for (int32_t back = 0; back < 3; back++)
        nows.push_back(std::numeric_limits<int32_t>::max() - back * 7);

    GuardedCanvas canvas;
    size_t k = 0;
    for (int32_t now : nows) {
        // Each reading in a few scenes, every scene at many readings.
        for (int i = 0; i < 4; i++, k++) {
            const int32_t pos = positions[k % std::size(positions)];
            virtual_now = uint32_t(now);
            frame_draw(show, now, pos, canvas.view());
            ASSERT_TRUE(canvas.intact()) << "now " << now << ", pos " << pos;
        }
    }
    // And every scene at the very last reading.
    for (int32_t pos : positions) {
        frame_draw(show, std::numeric_limits<int32_t>::max(), pos, canvas.view());
        ASSERT_TRUE(canvas.intact()) << "pos " << pos;
    }
}

TEST(LongRun, TenVirtualMinutesOfASongThatNeverEnds)
{
    // Ten entries, then back to the restart position: play never gets past
    // entry 9, so the show never reaches its end and runs until stopped.
    start_show(10);
    GuardedCanvas canvas;
    const uint32_t start = virtual_now;
    int64_t buffers = 0;
    int32_t highest = 0;
    // A frame every 250 ms, the music made buffer by buffer as a device
    // would ask for it.
    for (uint32_t t = 0; t <= 600000; t += 250) {
        virtual_now = start + t;
        while (buffers * BUFFER_FRAMES * 1000 <= int64_t(t) * 44100) {
            pt_audio_callback(nullptr, nullptr, BUFFER_FRAMES * 4);
            buffers++;
        }
        pt_poll_position();
        const int32_t pos = pt_get_position();
        ASSERT_LE(pos, SHOW_LAST_POSITION) << "at " << t << " ms";
        highest = std::max(highest, pos);
        frame_draw(show, int32_t(virtual_now), pos, canvas.view());
        ASSERT_TRUE(canvas.intact()) << "at " << t << " ms, pos " << pos;
    }
    EXPECT_GE(highest, 900) << "the song did not play through its ten entries";
}

}  // namespace
