// The frame path: one frame of the show, drawn from the clock reading and
// the music position into a 320x240 frame, with no SDL. The demo's frame
// loop and the headless run both take their frames from frame_step.
//
// Entry points:
//   frame_step(show, hooks)   one whole frame in the loop's order: poll the
//       music position, read the clock, take the canvas (hooks.begin), read
//       the position, draw (frame_draw, hooks.interlude inside it); returns
//       the frame's moment
//   frame_draw(show, now, pos, canvas, interlude)
//       the scene that owns `pos` (scene table), then `interlude` (the
//       demo's input step; nothing headless), then the overlay schedule
//       and the film damage over the finished scene
//   SHOW_LAST_POSITION   the show ends after the first frame past it
//
// `now` is the frame's clock_ms() reading, `pos` the MusicPos of the
// frame's poll; both stay the same for the whole frame.
#pragma once

#include "app/show.h"
#include "core/frame_buffer.h"

#include <cstdint>

// Order entry 13, row 62.
constexpr int32_t SHOW_LAST_POSITION = 1362;

// Work done between the scene and the layers over it, in the frame loop's
// own order; the layers don't depend on it.
struct FrameInterlude {
    void (*run)(void* context) = nullptr;
    void* context = nullptr;
};

// What one frame was drawn for.
struct FrameMoment {
    int32_t now = 0;     // clock_ms() at the frame's start
    int32_t pos = 0;     // MusicPos heard then
    bool ended = false;  // pos is past SHOW_LAST_POSITION: the show ends after this frame
};

// Where frame_step gets its canvas and what it runs between the scene and
// the layers. `interlude` may be null; `begin` may not.
struct FrameHooks {
    FrameView (*begin)(void* context) = nullptr;
    void (*interlude)(void* context, const FrameMoment& moment) = nullptr;
    void* context = nullptr;
};

FrameMoment frame_step(Show& show, const FrameHooks& hooks);
void frame_draw(Show& show, int32_t now, int32_t pos, FrameView canvas, const FrameInterlude& interlude = {});
