// The show with no display and no sound device: a virtual clock, the
// device's buffers made at the times a device would ask for them, and
// frames drawn at fixed times through frame_draw, as the demo draws them.
// capture, the frame benchmarks and the tests that play the show all run it
// here, so the rules of a headless run are written once.
//
// Entry points:
//   headless_clock_use(ms)     clock_ms() reads the virtual clock, set to ms
//   headless_clock_set(ms)     move the virtual clock
//   headless_clock_release()   clock_ms() back on its default source
//   headless_buffer_ms(j)      when device buffer j is made, in ms after the
//                              start: j buffers of DEVICE_BUFFER_FRAMES at
//                              SAMPLE_RATE, rounded down
//   headless_frame_ms(k, fps)  when frame k is drawn: k * 1000 / fps
//   headless_fresh_start(show) the player, its clock, the mixer, the sound
//                              driver, the random sequence and the scene
//                              state as a program that has just started has
//                              them, for a second run in one process (the
//                              player's channels keep their panning and
//                              glissando across a module load, so a load
//                              alone is not a fresh start)
//   headless_open(run)         the virtual clock at run.start_ms and the
//                              silent player, a device's buffer in size
//   headless_start_show(run, show, module, size)   headless_open, then the
//                              module handed over and the first position
//                              polled, as the demo's start-up does; false
//                              when the player refused the module
//   headless_feed_buffer(run)  make the next device buffer (clock at its time)
//   headless_feed(run, t)      make every buffer due at or before t ms
//   headless_step(run, show, canvas)   the next frame, unless the run has
//                              stopped: every buffer due by the frame's time
//                              first, then the frame; false once stopped
//
// Only one run at a time: there is one clock.
#pragma once

#include "app/frame.h"
#include "app/show.h"

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

// Where each device buffer goes: DEVICE_BUFFER_FRAMES stereo frames, left
// and right 16-bit samples interleaved.
struct HeadlessSound {
    void (*take)(void* context, std::span<const int16_t> samples) = nullptr;
    void* context = nullptr;
};

enum class HeadlessStop {
    running,
    frames,  // max_frames drawn
    time,    // the next frame would be later than until_ms
    end,     // the last frame drawn was past SHOW_LAST_POSITION
};

struct HeadlessRun {
    // Set before the run starts.
    int32_t fps = 60;                                          // frame k at k * 1000 / fps ms
    uint32_t start_ms = 0;                                     // the clock's reading at time 0
    int64_t max_frames = std::numeric_limits<int64_t>::max();  // stop after this many
    int64_t until_ms = std::numeric_limits<int64_t>::max();    // no frame after this time
    bool stop_at_end = true;                                   // stop after the show's last frame
    HeadlessSound sound{};  // none: the music runs with no sound made at all

    // The run so far.
    int64_t frame = 0;    // the next frame's number (a caller may start later)
    int64_t buffers = 0;  // device buffers made
    FrameMoment moment{};  // the last frame's
    int64_t moment_ms = -1;  // the last frame's time, ms after the start
    HeadlessStop stopped = HeadlessStop::running;
    std::vector<int16_t> buffer;  // one device buffer, when the sound is taken
};

void headless_clock_use(uint32_t ms);
void headless_clock_set(uint32_t ms);
void headless_clock_release();
int64_t headless_buffer_ms(int64_t j);
int64_t headless_frame_ms(int64_t k, int32_t fps);

void headless_fresh_start(Show& show);
void headless_open(HeadlessRun& run);
bool headless_start_show(HeadlessRun& run, Show& show, std::span<uint8_t, MODULE_BYTES> module, int32_t size);
void headless_feed_buffer(HeadlessRun& run);
void headless_feed(HeadlessRun& run, int64_t t);
bool headless_step(HeadlessRun& run, Show& show, FrameView canvas);
