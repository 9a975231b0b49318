// The player clock: when ticks run, and when each row is heard.
//
// One pacing loop makes every buffer of music, wherever it goes (the audio
// device, modrender's WAV, capture's soundtrack): it alternates player ticks
// with mixing, one tick every TICK_FRAMES_NUMERATOR / (50 * tempo) frames
// (core/sound_rates.h), and stamps every row with the clock_ms() time at
// which it will come out of the speakers.
// The main thread then asks, once a frame, which row is being heard.
//
// Nothing here touches SDL; the device and the no-device pump live in
// player_device.h and plug their lock in with pt_set_audio_lock.
//
// Entry points:
//   pt_open_silent(rate, frames)  the null back-end and the clock, as a device
//                                 of `frames` frames would have them, with
//                                 nothing played; buffers are then made by
//                                 calling pt_audio_callback (capture, modrender)
//   pt_clock_open(frames)         the clock's own part of opening, once a
//                                 back-end has filled the driver table: the
//                                 driver started, the stamps cleared, buffers
//                                 of `frames` frames from now on
//   pt_audio_callback(user, stream, length)   one buffer of `length` bytes
//                                 (4 a frame), stamped at clock_ms(); a null
//                                 stream runs the music without sound
//   pt_pace(frames, callback_time, pacing)    the pacing loop itself
//   pt_stamp_rows(order, row, t)  every row up to this one is heard at t ms
//   pt_poll_position()            walk the stamps up to now; the MusicPos heard
//   pt_get_position()             the MusicPos of the last poll (-1 before it)
//   pt_position_time(pos)         when that MusicPos is heard, PT_NOT_HEARD if
//                                 not known yet
//   pt_lock_audio(), pt_unlock_audio()   serialise a call into the player
//                                 with the thread that makes buffers
//   pt_set_audio_lock(lock, unlock)      how: nullptrs = no other thread
//   pt_set_output_delay(delay)    for a device that queues buffers ahead:
//                                 delay() gives, as each buffer is made, the
//                                 ms until that buffer starts to be heard,
//                                 and its stamps are that much later
//                                 (nullptr: 0, a buffer is heard as soon as
//                                 the device asks for it)
//   pt_set_buffer_frames(frames)  buffers of `frames` frames from now on, the
//                                 stamps made so far kept (a run that goes on
//                                 live after a virtual start)
//   pt_start_driver(rate)         once a back-end has filled the driver table:
//                                 init at the rate and the granted buffer,
//                                 master volume 64, start
//   pt_tick_length()              frames from one tick to the next at the
//                                 current tempo
//   pt_clock_reset()              back to the start-of-program state (tests)
//
// Positions are MusicPos (core/music_pos.h).
#pragma once

#include <cstdint>
#include <limits>

// Later than any clock_ms() reading can be, so "not known yet" stays in the future.
constexpr int32_t PT_NOT_HEARD = std::numeric_limits<int32_t>::max();
constexpr int32_t PT_ROW_TIMES = 10000;
// The master volume the player sets when it starts the driver.
constexpr int32_t PT_MASTER_VOLUME = 64;

// What a buffer's frames are made into. `mix` makes `count` frames from
// frame `offset` of the buffer on; `ticked`, when set, runs right after each
// tick with the frames done so far and may end the buffer there (false).
struct PtPacing {
    void (*mix)(void* user, int32_t offset, int32_t count) = nullptr;
    bool (*ticked)(void* user, int32_t offset) = nullptr;
    void* user = nullptr;
};

using PtLockFn = void (*)();
using PtDelayFn = int32_t (*)();

int32_t pt_open_silent(int32_t rate, int32_t buffer_frames);
void pt_clock_open(int32_t buffer_frames);
void pt_audio_callback(void* user, uint8_t* stream, int length);
int32_t pt_pace(int32_t frames, int32_t callback_time, const PtPacing& pacing);
void pt_stamp_rows(int32_t order, int32_t row, int32_t t);
int32_t pt_poll_position();
int32_t pt_get_position();
int32_t pt_position_time(int32_t pos);
void pt_lock_audio();
void pt_unlock_audio();
void pt_set_audio_lock(PtLockFn lock, PtLockFn unlock);
void pt_set_output_delay(PtDelayFn delay);
void pt_set_buffer_frames(int32_t frames);
void pt_start_driver(int32_t rate);
int32_t pt_tick_length();
void pt_clock_reset();
