// The frame path: one frame of the show, drawn from the clock reading and
// the music position into a 320x240 frame, with no SDL. The demo's frame
// loop, the headless run and the page take every frame this way: the
// moment, the scene, the caller's step between (the demo's input), the
// layers.
//
// Entry points:
//   frame_moment()   the frame's moment: the music position polled, the
//                    clock read, the position the poll left taken
//   frame_draw(show, now, pos, canvas, between)
//       the scene that owns `pos` (scene table), then `between()`, then the
//       overlay schedule and the film damage over the finished scene
//   frame_draw(show, now, pos, canvas)   the same with nothing between
//
// `now` is the frame's clock_ms() reading, `pos` the MusicPos of the
// frame's poll; both stay the same for the whole frame.
#pragma once

#include "app/scenes.h"
#include "app/show.h"
#include "app/show_cues.h"
#include "core/frame_buffer.h"

#include <cstdint>

// What one frame was drawn for.
struct FrameMoment {
    int32_t now = 0;     // clock_ms() at the frame's start
    int32_t pos = 0;     // MusicPos heard then
    bool ended = false;  // pos is past SHOW_LAST_POSITION: the show ends after this frame
};

FrameMoment frame_moment();

// `between` runs after the scene and before the layers, which don't depend on it.
template <typename Between>
void frame_draw(Show& show, int32_t now, int32_t pos, FrameView canvas, Between&& between)
{
    scenes_draw(show, now, pos, canvas);
    between();
    layers_draw(show, now, pos, canvas);
}

inline void frame_draw(Show& show, int32_t now, int32_t pos, FrameView canvas)
{
    frame_draw(show, now, pos, canvas, [] {});
}
