// The player clock: when ticks run, and when each row is heard.
//
// The audio callback makes each device buffer by alternating player ticks
// and mixing, one tick every 5512500 / (50 * tempo) frames, and stamps every
// row with the clock_ms() time at which it will come out of the speakers.
// The main thread then asks, once a frame, which row is being heard.
//
// Entry points:
//   pt_open_audio(rate, frames)   open the SDL device and the mixer behind it;
//                                 1 = device open, 0 = no device: the mixer then
//                                 runs behind the null back-end, pumped from
//                                 the wall clock once pt_start runs
//   pt_start(rate)                un-pause the device (or start the pump);
//                                 the rate is that of a timer this player
//                                 never needs
//   pt_audio_callback(user, stream, length)   the device callback; a null
//                                 stream runs the music without sound
//   pt_stamp_rows(order, row, t)  every row up to this one is heard at t ms
//   pt_poll_position()            walk the stamps up to now; the MusicPos heard
//   pt_get_position()             the MusicPos of the last poll (-1 before it)
//   pt_position_time(pos)         when that MusicPos is heard, PT_NOT_HEARD if
//                                 not known yet
//   pt_lock_audio(), pt_unlock_audio()   serialise a call into the player
//                                 with the callback (the fast-forward)
//   pt_start_driver(rate)         once a back-end has filled the driver table:
//                                 init at the rate and the granted buffer,
//                                 master volume 64, start
//   pt_tick_length()              frames from one tick to the next at the
//                                 current tempo
//   pt_clock_reset()              back to the start-of-program state (tests)
//
// MusicPos = order entry * 100 + row (0..63).
#pragma once

#include <cstdint>
#include <limits>

// Later than any clock_ms() reading can be, so "not known yet" stays in the future.
constexpr int32_t PT_NOT_HEARD = std::numeric_limits<int32_t>::max();
constexpr int32_t PT_ROW_TIMES = 10000;

int32_t pt_open_audio(int32_t rate, int32_t buffer_frames);
void pt_start(int32_t rate);
void pt_audio_callback(void* user, uint8_t* stream, int length);
void pt_stamp_rows(int32_t order, int32_t row, int32_t t);
int32_t pt_poll_position();
int32_t pt_get_position();
int32_t pt_position_time(int32_t pos);
void pt_lock_audio();
void pt_unlock_audio();
void pt_start_driver(int32_t rate);
int32_t pt_tick_length();
void pt_clock_reset();
