#include "sound/player/player_clock.h"

#include "core/clock.h"
#include "core/music_pos.h"
#include "core/sound_rates.h"
#include "core/wrap_int.h"
#include "sound/mixer/mixer.h"
#include "sound/mixer/null_audio.h"
#include "sound/mixer/sound_driver.h"
#include "sound/player/player_state.h"
#include "sound/player/tick.h"

#include <array>
#include <atomic>

namespace {

void no_lock() {}
int32_t no_delay() { return 0; }

struct PlayerClock {
    bool open = false;  // a back-end is in place: buffers may be made
    // Written by the pacing loop, read by the main thread without the lock.
    std::array<std::atomic<int32_t>, PT_ROW_TIMES> row_times{};
    std::atomic<int32_t> music_pos{-1};
    int32_t stamp_cursor = 0;  // every entry below it is stamped
    int32_t audible = -1;      // RowTimes index of the latest row heard
    int32_t frames_to_tick = 0;
    // Frames per device buffer as granted: the stamps allow for one buffer
    // in flight. The demo asks for DEVICE_BUFFER_FRAMES, but a device may
    // grant fewer and then holds only that many ahead; allowing for the
    // full 4096 there would stamp every row early by the difference (46 ms
    // at 2048), the first ones before the callback that makes them.
    int32_t buffer_frames = DEVICE_BUFFER_FRAMES;
    PtLockFn lock = no_lock;  // no_lock: no other thread makes buffers
    PtLockFn unlock = no_lock;
    PtDelayFn delay = no_delay;  // no_delay: no queue beyond the buffer being asked for
};

PlayerClock clock_state;

void mix_into(void* stream, int32_t offset, int32_t count)
{
    mixer_mix(stream ? static_cast<int16_t*>(stream) + 2 * offset : nullptr, count);
}

}  // namespace

int32_t pt_open_silent(int32_t rate, int32_t buffer_frames)
{
    null_audio_install(rate, buffer_frames);
    pt_clock_open(buffer_frames);
    return 1;
}

void pt_clock_open(int32_t buffer_frames)
{
    PlayerClock& c = clock_state;
    c.buffer_frames = sound_driver.buffer_frames > 0 ? sound_driver.buffer_frames : buffer_frames;
    pt_start_driver(sound_driver.output_rate);
    for (auto& t : c.row_times)
        t.store(PT_NOT_HEARD, std::memory_order_relaxed);
    c.stamp_cursor = 0;
    c.audible = -1;
    c.open = true;
}

void pt_audio_callback(void*, uint8_t* stream, int length)
{
    int32_t callback_time = int32_t(clock_ms());
    if (!clock_state.open)
        return;
    callback_time = wrap_add(callback_time, clock_state.delay());
    PtPacing pacing;
    pacing.mix = mix_into;
    pacing.user = stream;
    pt_pace(length / 4, callback_time, pacing);
}

int32_t pt_pace(int32_t frames, int32_t callback_time, const PtPacing& pacing)
{
    PlayerClock& c = clock_state;
    int32_t done = 0;
    while (done < frames) {
        // The chunk about to be mixed is heard once the buffers before it
        // have played: its last frame's time, one device buffer later.
        const int64_t ahead = (1000 * int64_t(done + frames) - 1000 * int64_t(c.buffer_frames)) / SAMPLE_RATE;
        const PlayerState& state = pt_state();
        // Near 2^31 ms the sum wraps, as the clock itself does.
        pt_stamp_rows(state.play.order_pos, state.play.row, wrap_add(callback_time, int32_t(ahead)));
        if (c.frames_to_tick <= 0) {
            pt_tick();
            c.frames_to_tick = pt_tick_length();
            if (pacing.ticked && !pacing.ticked(pacing.user, done))
                return done;
        }
        const int32_t n = c.frames_to_tick < frames - done ? c.frames_to_tick : frames - done;
        pacing.mix(pacing.user, done, n);
        done += n;
        c.frames_to_tick -= n;
    }
    return done;
}

void pt_stamp_rows(int32_t order, int32_t row, int32_t t)
{
    PlayerClock& c = clock_state;
    if (uint32_t(order) > 128 || uint32_t(row) >= uint32_t(ROWS_PER_PATTERN))
        return;
    // A forward jump gives every row it skips the same time.
    const int32_t index = music_pos_index(music_pos(order, row));
    for (; c.stamp_cursor <= index; c.stamp_cursor++) {
        auto& entry = c.row_times[size_t(c.stamp_cursor)];
        if (entry.load(std::memory_order_relaxed) == PT_NOT_HEARD)
            entry.store(t, std::memory_order_relaxed);
    }
}

int32_t pt_poll_position()
{
    PlayerClock& c = clock_state;
    pt_lock_audio();
    const int32_t now = int32_t(clock_ms());
    while (c.audible + 1 < PT_ROW_TIMES &&
           now > c.row_times[size_t(c.audible + 1)].load(std::memory_order_relaxed))
        c.audible++;
    const int32_t pos = c.audible < 0 ? 0 : music_pos_at_index(c.audible);
    c.music_pos.store(pos, std::memory_order_relaxed);
    pt_unlock_audio();
    return pos;
}

int32_t pt_get_position() { return clock_state.music_pos.load(std::memory_order_relaxed); }

int32_t pt_position_time(int32_t pos)
{
    const int32_t index = music_pos_index(pos);
    if (pos < 0 || music_pos_row(pos) >= ROWS_PER_PATTERN || index >= PT_ROW_TIMES)
        return PT_NOT_HEARD;
    return clock_state.row_times[size_t(index)].load(std::memory_order_relaxed);
}

void pt_lock_audio() { clock_state.lock(); }

void pt_unlock_audio() { clock_state.unlock(); }

void pt_set_audio_lock(PtLockFn lock, PtLockFn unlock)
{
    clock_state.lock = lock ? lock : no_lock;
    clock_state.unlock = unlock ? unlock : no_lock;
}

void pt_set_output_delay(PtDelayFn delay) { clock_state.delay = delay ? delay : no_delay; }

void pt_set_buffer_frames(int32_t frames) { clock_state.buffer_frames = frames; }

void pt_start_driver(int32_t rate)
{
    sound_driver.init(rate, sound_driver.buffer_frames);
    sound_driver.set_master_volume(PT_MASTER_VOLUME);
    sound_driver.start();
}

int32_t pt_tick_length()
{
    const int32_t tempo = pt_state().play.tempo;
    // A tempo of 0 only occurs with no module loaded; time it as the default.
    return TICK_FRAMES_NUMERATOR / (50 * (tempo > 0 ? tempo : 125));
}

void pt_clock_reset()
{
    PlayerClock& c = clock_state;
    c.open = false;
    for (auto& t : c.row_times)
        t.store(0, std::memory_order_relaxed);
    c.music_pos.store(-1, std::memory_order_relaxed);
    c.stamp_cursor = 0;
    c.audible = -1;
    c.frames_to_tick = 0;
    c.buffer_frames = DEVICE_BUFFER_FRAMES;
    c.lock = no_lock;
    c.unlock = no_lock;
    c.delay = no_delay;
}
