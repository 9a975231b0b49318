// A module played the way the demo plays it, without a device: the null
// back-end is started as the player's audio start does it, then the player's
// own pacing loop makes buffers of the device's size, ticking and mixing exactly as
// the audio callback does. The mix is wide, so the true sums
// can be measured; what comes out is their 16-bit wrap, the demo's sound.
//
// Entry points:
//   render_open(image, size)        player state and clock reset, null
//                                   back-end, init(SAMPLE_RATE,
//                                   DEVICE_BUFFER_FRAMES), master
//                                   volume 64, start, then pt_load_module;
//                                   1 = loaded, 0 = refused (pt_last_error())
//   render_run(max_frames, hooks, stop)   renders max_frames, or, when stop
//                                   is at_song_end, up to the first row the song
//                                   would play again (song_end.h, end loop)
//                                   or up to the row that sets speed 0 (F00,
//                                   end stop), whichever comes first
#pragma once

#include "core/sound_rates.h"
#include "tools/modrender/levels.h"

#include <cstddef>
#include <cstdint>
#include <functional>

struct RenderHooks {
    // After every tick that is rendered: the index of the first frame after
    // it, and whether it started a row.
    std::function<void(int64_t frame, bool row_start)> tick;
    // Each stretch of output, interleaved stereo, in order.
    std::function<void(const int16_t* frames, int32_t count)> audio;
};

// loop: a row would play again; stop: the speed became 0, which freezes
// the row for ever in the show's player and ends the song in others.
enum class RenderEnd { loop, stop, limit };
enum class RenderStop { at_song_end, at_max_frames };

struct RenderResult {
    int64_t frames = 0;
    Levels levels;
    RenderEnd end = RenderEnd::limit;
};

int32_t render_open(uint8_t* image, size_t size);
RenderResult render_run(int64_t max_frames, const RenderHooks& hooks,
                        RenderStop stop = RenderStop::at_song_end);
