// The whole frame path on a virtual clock, with the show's own data: at
// clock readings up to 2^31 - 1 ms in large steps, in every scene, and for
// ten virtual minutes of a song that never reaches the show's end. Every
// frame must write inside its canvas only (guard words around it; the
// sanitizer build watches everything else).
#include "app/frame.h"
#include "app/headless_run.h"
#include "app/show.h"
#include "app/startup.h"
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
void start_show(HeadlessRun& run, int song_length = -1)
{
    ASSERT_EQ(chdir(SHOW_DIR), 0);
    int32_t size = 0;
    ASSERT_EQ(startup_load(show, module_data, size), 0);
    if (song_length >= 0)
        module_data[950] = uint8_t(song_length);
    pt_clock_reset();
    headless_start_show(run, show, module_data, size);
}

TEST(LongRun, EverySceneAtClockReadingsUpTo2To31Minus1)
{
    HeadlessRun run;
    start_show(run);
    // Stamp the whole song, as a device would hear it.
    headless_feed(run, 140000);

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
            headless_clock_set(uint32_t(now));
            frame_draw(show, now, pos, canvas.view());
            ASSERT_TRUE(canvas.intact()) << "now " << now << ", pos " << pos;
        }
    }
    // And every scene at the very last reading.
    for (int32_t pos : positions) {
        frame_draw(show, std::numeric_limits<int32_t>::max(), pos, canvas.view());
        ASSERT_TRUE(canvas.intact()) << "pos " << pos;
    }
    headless_clock_release();
}

TEST(LongRun, TenVirtualMinutesOfASongThatNeverEnds)
{
    // Ten entries, then back to the restart position: play never gets past
    // entry 9, so the show never reaches its end and runs until stopped.
    HeadlessRun run;
    run.fps = 4;  // a frame every 250 ms
    run.until_ms = 600000;
    run.stop_at_end = false;
    start_show(run, 10);
    GuardedCanvas canvas;
    int32_t highest = 0;
    while (headless_step(run, show, canvas.view())) {
        const FrameMoment& m = run.moment;
        ASSERT_LE(m.pos, SHOW_LAST_POSITION) << "at " << run.moment_ms << " ms";
        highest = std::max(highest, m.pos);
        ASSERT_TRUE(canvas.intact()) << "at " << run.moment_ms << " ms, pos " << m.pos;
    }
    EXPECT_EQ(run.frame, 2401);
    EXPECT_GE(highest, 900) << "the song did not play through its ten entries";
    headless_clock_release();
}

}  // namespace
