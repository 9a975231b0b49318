// The frame path: one frame of the show, drawn from the clock reading and
// the music position into a 320x240 frame, with no SDL. The demo's frame
// loop and capture both call it.
//
// Entry points:
//   frame_draw(show, now, pos, canvas, interlude)
//       the scene that owns `pos` (scene table), then `interlude` (the
//       demo's input step; nothing in capture), then the overlay schedule
//       and the film damage over the finished scene
//
// `now` is the frame's clock_ms() reading, `pos` the MusicPos of the
// frame's poll; both stay the same for the whole frame.
#pragma once

#include "app/show.h"
#include "core/frame_buffer.h"

#include <cstdint>

// Work done between the scene and the layers over it, in the frame loop's
// own order; the layers don't depend on it.
struct FrameInterlude {
    void (*run)(void* context) = nullptr;
    void* context = nullptr;
};

void frame_draw(Show& show, int32_t now, int32_t pos, FrameView canvas, const FrameInterlude& interlude = {});
