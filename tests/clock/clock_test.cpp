// The player clock on a virtual wall clock: when ticks run inside a device
// buffer, when each row is stamped as heard, what the main thread reads back,
// and the silent pump that stands in for a missing device.
#include "app/headless_run.h"
#include "sound/mixer/mixer.h"
#include "sound/mixer/null_audio.h"
#include "sound/mixer/sdl_audio.h"
#include "sound/mixer/sound_driver.h"
#include "sound/player/loader.h"
#include "sound/player/player_clock.h"
#include "sound/player/player_device.h"
#include "sound/player/player_state.h"
#include "tests/player/test_module.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class PlayerClock : public testing::Test {
protected:
    void SetUp() override
    {
        // Nothing here may open a real device: no driver by that name exists.
        setenv("SDL_AUDIODRIVER", "none", 1);
        sound_driver_reset();
        mixer_reset();
        pt_state_reset();
        pt_clock_reset();
        headless_clock_use(1000);
    }
    void TearDown() override
    {
        pt_clock_reset();
        headless_clock_release();
        SDL_Quit();
    }

    // Opens "audio" (there is none, so the null back-end) and loads the song.
    void open_and_load(ModBuilder& song, int32_t frames = 4096)
    {
        EXPECT_EQ(pt_open_audio(44100, frames), 0);
        image_ = song.build();
        ASSERT_EQ(pt_load_module(image_.data(), image_.size()), 1);
    }

    // One device buffer of `frames`, called back at virtual time `at`.
    void callback(uint32_t at, int32_t frames)
    {
        headless_clock_set(at);
        std::vector<int16_t> buffer(size_t(frames) * 2, 0);
        pt_audio_callback(nullptr, reinterpret_cast<uint8_t*>(buffer.data()), frames * 4);
    }

    int32_t poll_at(uint32_t at)
    {
        headless_clock_set(at);
        return pt_poll_position();
    }

    std::vector<uint8_t> image_;
};

// Speed 1: a new row on every tick, 882 frames (20 ms) apart at tempo 125.
ModBuilder speed_one(int32_t entries)
{
    ModBuilder song;
    std::vector<int32_t> order(size_t(entries), 0);
    song.song(order);
    song.fx(0, 0, 0, 0xF, 1);
    return song;
}

// After 24.8 days the clock passes 2^31 ms: stamps wrap with it, without
// the signed overflow the sanitizer would stop on.
TEST_F(PlayerClock, StampsWrapWithTheClockNearItsLimit)
{
    ModBuilder song = speed_one(2);
    open_and_load(song);
    callback(0x7FFFFFF0u, 4096);
    EXPECT_EQ(pt_position_time(0), int32_t(0x7FFFFFF0u + 20u));
}

TEST_F(PlayerClock, RowsAreStampedWhenTheirChunkIsHeard)
{
    ModBuilder song = speed_one(2);
    open_and_load(song);
    EXPECT_EQ(pt_get_position(), -1);
    EXPECT_EQ(pt_position_time(0), PT_NOT_HEARD);

    // The first callback ticks at once; row 0 is heard after its first
    // 882 frames have been mixed: 1000 + (1000 * (882 + 4096) - 4096000) / 44100.
    callback(1000, 4096);
    EXPECT_EQ(pt_position_time(0), 1020);
    EXPECT_EQ(pt_position_time(1), 1040);
    EXPECT_EQ(pt_position_time(2), 1060);
    EXPECT_EQ(pt_position_time(3), 1080);
    // Row 4 started in the last pass; the next callback stamps it first.
    EXPECT_EQ(pt_position_time(4), PT_NOT_HEARD);
    callback(1093, 4096);
    EXPECT_EQ(pt_position_time(4), 1093);
    // Row 5 starts after the first 314 frames and is stamped after its own chunk.
    EXPECT_EQ(pt_position_time(5), 1093 + (1000 * (314 + 882 + 4096) - 4096000) / 44100);

    // A row counts as heard once the clock is strictly past its stamp.
    EXPECT_EQ(poll_at(1020), 0);
    EXPECT_EQ(pt_get_position(), 0);
    EXPECT_EQ(poll_at(1041), 1);
    EXPECT_EQ(poll_at(1093), 3);
    EXPECT_EQ(poll_at(1094), 4);
    EXPECT_EQ(poll_at(1050), 4) << "the position never goes back";
}

TEST_F(PlayerClock, APassLaterInTheBufferIsHeardLater)
{
    // Tempo 50 makes a tick exactly 2205 frames, so the second pass starts
    // 2205 frames in: 50 ms after the callback.
    ModBuilder song = speed_one(1);
    song.fx(0, 0, 1, 0xF, 0x32);
    open_and_load(song);
    callback(3000, 4096);
    EXPECT_EQ(pt_tick_length(), 2205);
    EXPECT_EQ(pt_position_time(0), 3050);
    EXPECT_EQ(pt_position_time(1), PT_NOT_HEARD);
}

TEST_F(PlayerClock, TheGrantedBufferSetsTheStamps)
{
    // A device that grants 2048 frames has only 2048 in flight: row 0 is
    // still heard 20 ms after the callback, not 26 ms before it.
    ModBuilder song = speed_one(1);
    open_and_load(song, 2048);
    EXPECT_EQ(sound_driver.buffer_frames, 2048);
    callback(5000, 2048);
    EXPECT_EQ(pt_position_time(0), 5020);
    EXPECT_EQ(pt_position_time(1), 5040);
}

TEST_F(PlayerClock, ShorterBuffersFromNowOnKeepTheStampsMade)
{
    // A run made on the virtual clock goes on live in 512-frame buffers (the
    // browser's page): the rows stamped stay, and a row stamped at the start
    // of a 512-frame buffer is heard at its callback, not 81 ms before.
    ModBuilder song = speed_one(2);
    open_and_load(song);
    callback(1000, 4096);
    pt_set_buffer_frames(512);
    callback(1093, 512);  // row 4 first; row 5 starts 314 frames in
    callback(1105, 512);
    EXPECT_EQ(pt_position_time(0), 1020);
    EXPECT_EQ(pt_position_time(3), 1080);
    EXPECT_EQ(pt_position_time(4), 1093);
    EXPECT_EQ(pt_position_time(5), 1105);
}

TEST_F(PlayerClock, FastForwardRunsAQuarterSecondUnheard)
{
    ModBuilder song;  // speed 6: 120 ms a row
    song.song({0, 0});
    open_and_load(song);
    callback(1000, 4096);
    const int32_t ticks_before = pt_state().play.row * 6 + pt_state().play.tick;
    const int32_t first_unstamped = pt_state().play.row + 1;

    headless_clock_set(2000);
    pt_audio_callback(nullptr, nullptr, 44100);
    // 11025 frames at 882 a tick: 12 or 13 ticks, as the tick falls.
    const int32_t ticks = pt_state().play.row * 6 + pt_state().play.tick - ticks_before;
    EXPECT_GE(ticks, 12);
    EXPECT_LE(ticks, 13);
    // Heard from 157 ms on (the quarter second less the buffer in flight)
    // to 407 ms.
    for (int32_t row = first_unstamped; row < pt_state().play.row; row++) {
        EXPECT_GE(pt_position_time(row), 2157) << row;
        EXPECT_LE(pt_position_time(row), 2407) << row;
    }
    EXPECT_EQ(mixer_view().active[0].position, 0u) << "nothing was playing";
}

TEST_F(PlayerClock, APatternBreakStampsTheSkippedRowsTogether)
{
    ModBuilder song = speed_one(7);
    song.fx(0, 32, 1, 0xD, 0x00);
    open_and_load(song);
    HeadlessRun run;  // buffers as a device asks for them
    run.start_ms = 1000;
    while (pt_position_time(600) == PT_NOT_HEARD)
        headless_feed_buffer(run);
    const int32_t t = pt_position_time(532);
    for (int32_t row = 33; row < 64; row++)
        EXPECT_EQ(pt_position_time(500 + row), t);
    EXPECT_GT(pt_position_time(600), t);
    EXPECT_EQ(poll_at(uint32_t(t)), 531);
    EXPECT_EQ(poll_at(uint32_t(t) + 1), 563);
    EXPECT_EQ(poll_at(uint32_t(pt_position_time(600)) + 1), 600);
}

TEST_F(PlayerClock, AJumpBackStampsNothingMore)
{
    ModBuilder song = speed_one(3);
    song.fx(0, 63, 2, 0xB, 0x01);  // every entry jumps back to entry 1
    open_and_load(song);
    HeadlessRun run;
    run.start_ms = 1000;
    headless_feed(run, 5500);
    // From its first tick the jumping row already reads as its target, so
    // entry 1's row 63 is never stamped on its own; nothing after it is either.
    EXPECT_NE(pt_position_time(162), PT_NOT_HEARD);
    EXPECT_EQ(pt_position_time(163), PT_NOT_HEARD);
    EXPECT_EQ(pt_position_time(200), PT_NOT_HEARD);
    EXPECT_EQ(poll_at(100000), 162);
}

TEST_F(PlayerClock, PositionsOutsideTheTableAreNotKnown)
{
    ModBuilder song = speed_one(1);
    open_and_load(song);
    callback(1000, 4096);
    for (int32_t pos : {-1, 64, 199, 12864, 99999, -100})
        EXPECT_EQ(pt_position_time(pos), PT_NOT_HEARD) << pos;
    EXPECT_EQ(pt_position_time(0), 1020);
}

TEST_F(PlayerClock, WithoutADeviceTheMixerStandsBehindTheNullBackEnd)
{
    ModBuilder song = speed_one(1);
    open_and_load(song);
    EXPECT_STREQ(sound_driver.name, "null audio");
    EXPECT_STREQ(sound_driver.error_text, "SDL audio error");
    EXPECT_EQ(mixer_view().master_volume, 64);
    EXPECT_EQ(mixer_view().voice_count, 4);
}

TEST_F(PlayerClock, WithoutADeviceThePumpKeepsTheMusicInTime)
{
    ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0);
    ModBuilder song;  // speed 6, tempo 125: a row every 120 ms
    song.song({0, 0});
    open_and_load(song);
    pt_start(50);
    // One second passes, 20 ms at a time, each step long enough in real
    // time for the pump's 10 ms timer to see it.
    for (uint32_t at = 1020; at <= 2000; at += 20) {
        headless_clock_set(at);
        SDL_Delay(15);
    }
    // Rows stamped up to now, a row every 120 ms from 1020 on.
    const int32_t pos = poll_at(2000);
    EXPECT_GE(pos, 6);
    EXPECT_LE(pos, 8);
    // And Space still works, under the same lock as the pump.
    pt_lock_audio();
    pt_audio_callback(nullptr, nullptr, 44100);
    pt_unlock_audio();
    EXPECT_GT(pt_state().play.row, pos);
}

TEST(SdlAudio, OpensTheDeviceAndFillsTheTableInOrder)
{
    char file[] = "/tmp/kirmavo-audio-XXXXXX";
    const int fd = mkstemp(file);
    ASSERT_GE(fd, 0);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file, 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);
    sound_driver_reset();
    mixer_reset();
    auto silent = [](void*, uint8_t*, int) {};
    EXPECT_EQ(sdl_audio_install(44100, 4096, silent), 1);
    EXPECT_STREQ(sound_driver.name, "SDL audio");
    EXPECT_STREQ(sound_driver.error_text, "");
    EXPECT_EQ(sound_driver.output_rate, 44100);
    EXPECT_EQ(sound_driver.buffer_frames, 4096);
    EXPECT_EQ(sound_driver.init, mixer_init);
    EXPECT_EQ(sound_driver.set_voice_period, mixer_set_voice_period);
    SDL_CloseAudio();
    SDL_Quit();
    unlink(file);

    setenv("SDL_AUDIODRIVER", "none", 1);
    sound_driver_reset();
    EXPECT_EQ(sdl_audio_install(44100, 4096, silent), 0);
    EXPECT_STREQ(sound_driver.name, "");
    EXPECT_STREQ(sound_driver.error_text, "SDL audio error");
    EXPECT_EQ(sound_driver.close, null_audio_table().close) << "the null back-end stays in place";
    SDL_Quit();
}

}  // namespace
