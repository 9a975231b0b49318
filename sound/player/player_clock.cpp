#include "sound/player/player_clock.h"

#include "core/clock.h"
#include "sound/mixer/mixer.h"
#include "sound/mixer/null_audio.h"
#include "sound/mixer/sdl_audio.h"
#include "sound/mixer/sound_driver.h"
#include "sound/player/player_state.h"
#include "sound/player/tick.h"

#include <SDL.h>

#include <array>
#include <atomic>

namespace {

enum class ClockMode {
    idle,    // pt_open_audio not called: nothing ticks
    device,  // SDL calls the callback from its audio thread
    pump,    // no device: a timer calls it from the wall clock
};

constexpr int32_t MIX_RATE = 44100;  // the rate the stamps are computed for
constexpr int32_t PUMP_INTERVAL_MS = 10;

struct PlayerClock {
    ClockMode mode = ClockMode::idle;
    // Written by the callback, read by the main thread without the lock.
    std::array<std::atomic<int32_t>, PT_ROW_TIMES> row_times{};
    std::atomic<int32_t> music_pos{-1};
    int32_t stamp_cursor = 0;  // every entry below it is stamped
    int32_t audible = -1;      // RowTimes index of the latest row heard
    int32_t frames_to_tick = 0;
    int32_t buffer_frames = 4096;  // as granted; the stamps allow for one buffer in flight

    // The software pump, when there is no device.
    SDL_mutex* pump_lock = nullptr;
    SDL_TimerID pump_timer = nullptr;
    uint32_t pump_start = 0;  // clock_ms() at pt_start
    int64_t pump_frames = 0;  // frames pumped since then
};

PlayerClock clock_state;

// Runs on SDL's timer thread: one device buffer's worth of music for every
// buffer a device would have asked for by now.
Uint32 pump(Uint32 interval, void*)
{
    PlayerClock& c = clock_state;
    const int64_t due = int64_t(uint32_t(clock_ms() - c.pump_start)) * MIX_RATE / 1000;
    while (c.pump_frames <= due) {
        pt_lock_audio();
        pt_audio_callback(nullptr, nullptr, c.buffer_frames * 4);
        pt_unlock_audio();
        c.pump_frames += c.buffer_frames;
    }
    return interval;
}

}  // namespace

int32_t pt_open_audio(int32_t rate, int32_t buffer_frames)
{
    PlayerClock& c = clock_state;
    int32_t opened = sdl_audio_install(rate, buffer_frames, pt_audio_callback);
    if (opened) {
        c.mode = ClockMode::device;
    } else {
        // No device: the show still runs, in time and silently.
        null_audio_install(rate, buffer_frames);
        if (!c.pump_lock)
            c.pump_lock = SDL_CreateMutex();
        c.mode = ClockMode::pump;
    }
    c.buffer_frames = sound_driver.buffer_frames > 0 ? sound_driver.buffer_frames : buffer_frames;
    pt_start_driver(rate);
    for (auto& t : c.row_times)
        t.store(PT_NOT_HEARD, std::memory_order_relaxed);
    c.stamp_cursor = 0;
    c.audible = -1;
    return opened;
}

void pt_start(int32_t /*rate*/)
{
    PlayerClock& c = clock_state;
    if (c.mode == ClockMode::device) {
        SDL_PauseAudio(0);
    } else if (c.mode == ClockMode::pump && !c.pump_timer) {
        c.pump_start = clock_ms();
        c.pump_frames = 0;
        c.pump_timer = SDL_AddTimer(PUMP_INTERVAL_MS, pump, nullptr);
    }
}

void pt_audio_callback(void*, uint8_t* stream, int length)
{
    PlayerClock& c = clock_state;
    const int32_t callback_time = int32_t(clock_ms());
    if (c.mode == ClockMode::idle)
        return;
    const int32_t frames = length / 4;
    int32_t done = 0;
    while (done < frames) {
        // The chunk about to be mixed is heard once the buffers before it have played.
        const int64_t ahead = (1000 * int64_t(done + frames) - 1000 * int64_t(c.buffer_frames)) / MIX_RATE;
        const PlayerState& state = pt_state();
        pt_stamp_rows(state.play.order_pos, state.play.row, callback_time + int32_t(ahead));
        if (c.frames_to_tick <= 0) {
            pt_tick();
            c.frames_to_tick = pt_tick_length();
        }
        const int32_t n = c.frames_to_tick < frames - done ? c.frames_to_tick : frames - done;
        mixer_mix(stream ? reinterpret_cast<int16_t*>(stream) + 2 * done : nullptr, n);
        done += n;
        c.frames_to_tick -= n;
    }
}

void pt_stamp_rows(int32_t order, int32_t row, int32_t t)
{
    PlayerClock& c = clock_state;
    if (uint32_t(order) > 128 || row < 0 || row > 63)
        return;
    // A forward jump gives every row it skips the same time.
    const int32_t index = order * 64 + row;
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
    const int32_t pos = c.audible < 0 ? 0 : (c.audible / 64) * 100 + c.audible % 64;
    c.music_pos.store(pos, std::memory_order_relaxed);
    pt_unlock_audio();
    return pos;
}

int32_t pt_get_position() { return clock_state.music_pos.load(std::memory_order_relaxed); }

int32_t pt_position_time(int32_t pos)
{
    const int32_t row = pos % 100;
    const int32_t index = (pos / 100) * 64 + row;
    if (pos < 0 || row > 63 || index >= PT_ROW_TIMES)
        return PT_NOT_HEARD;
    return clock_state.row_times[size_t(index)].load(std::memory_order_relaxed);
}

void pt_lock_audio()
{
    if (clock_state.mode == ClockMode::pump)
        SDL_mutexP(clock_state.pump_lock);
    else
        SDL_LockAudio();
}

void pt_unlock_audio()
{
    if (clock_state.mode == ClockMode::pump)
        SDL_mutexV(clock_state.pump_lock);
    else
        SDL_UnlockAudio();
}

void pt_start_driver(int32_t rate)
{
    sound_driver.init(rate, sound_driver.buffer_frames);
    sound_driver.set_master_volume(64);
    sound_driver.start();
}

int32_t pt_tick_length()
{
    const int32_t tempo = pt_state().play.tempo;
    // A tempo of 0 only occurs with no module loaded; time it as the default.
    return 5512500 / (50 * (tempo > 0 ? tempo : 125));
}

void pt_clock_reset()
{
    PlayerClock& c = clock_state;
    if (c.pump_timer)
        SDL_RemoveTimer(c.pump_timer);
    c.pump_timer = nullptr;
    c.mode = ClockMode::idle;
    for (auto& t : c.row_times)
        t.store(0, std::memory_order_relaxed);
    c.music_pos.store(-1, std::memory_order_relaxed);
    c.stamp_cursor = 0;
    c.audible = -1;
    c.frames_to_tick = 0;
    c.buffer_frames = 4096;
    c.pump_frames = 0;
}
