#include "sound/player/player_device.h"

#include "core/clock.h"
#include "core/sound_rates.h"
#include "sound/mixer/sdl_audio.h"
#include "sound/player/player_clock.h"

#include <SDL.h>

namespace {

constexpr int32_t PUMP_INTERVAL_MS = 10;

struct PlayerDevice {
    bool device = false;  // SDL calls the callback from its audio thread
    int32_t buffer_frames = DEVICE_BUFFER_FRAMES;

    // The software pump, when there is no device.
    SDL_mutex* pump_lock = nullptr;
    SDL_TimerID pump_timer{};  // a pointer in most SDLs, an int in the browser's
    uint32_t pump_start = 0;   // clock_ms() at pt_start
    int64_t pump_frames = 0;   // frames pumped since then
};

PlayerDevice device_state;

void device_lock() { SDL_LockAudio(); }
void device_unlock() { SDL_UnlockAudio(); }
void pump_lock() { SDL_mutexP(device_state.pump_lock); }
void pump_unlock() { SDL_mutexV(device_state.pump_lock); }

// Runs on SDL's timer thread: one device buffer's worth of music for every
// buffer a device would have asked for by now.
Uint32 pump(Uint32 interval, void*)
{
    PlayerDevice& d = device_state;
    const int64_t due = int64_t(uint32_t(clock_ms() - d.pump_start)) * SAMPLE_RATE / 1000;
    while (d.pump_frames <= due) {
        pt_lock_audio();
        pt_audio_callback(nullptr, nullptr, d.buffer_frames * 4);
        pt_unlock_audio();
        d.pump_frames += d.buffer_frames;
    }
#ifdef __EMSCRIPTEN__
    // The browser's SDL runs a timer once, whatever the callback returns.
    d.pump_timer = SDL_AddTimer(interval, pump, nullptr);
#endif
    return interval;
}

}  // namespace

int32_t pt_open_audio(int32_t rate, int32_t buffer_frames)
{
    PlayerDevice& d = device_state;
    d.device = sdl_audio_install(rate, buffer_frames, pt_audio_callback) != 0;
    if (d.device) {
        pt_clock_open(buffer_frames);
        pt_set_audio_lock(device_lock, device_unlock);
    } else {
        // No device: the show still runs, in time and silently.
        pt_open_silent(rate, buffer_frames);
        if (!d.pump_lock)
            d.pump_lock = SDL_CreateMutex();
        pt_set_audio_lock(pump_lock, pump_unlock);
    }
    d.buffer_frames = buffer_frames;
    return d.device;
}

void pt_start(int32_t /*rate*/)
{
    PlayerDevice& d = device_state;
    if (d.device) {
        sdl_audio_play();
        return;
    }
    // A pump left from an earlier start (the tests start several) stops first.
    if (d.pump_timer)
        SDL_RemoveTimer(d.pump_timer);
    d.pump_start = clock_ms();
    d.pump_frames = 0;
    d.pump_timer = SDL_AddTimer(PUMP_INTERVAL_MS, pump, nullptr);
}
