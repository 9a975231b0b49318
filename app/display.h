// The display surface and the frame bracket around each frame's drawing.
// Built twice: with KIRMAVO_DOUBLED=0 for `demo` (a 320x240 surface, drawn in
// place) and with KIRMAVO_DOUBLED=1 for `demo2x` (a 640x480 surface, every
// pixel doubled from an off-screen frame). Nothing else touches the surface.
//
// Entry points:
//   display_open(windowed)   set the video mode; false (with a line on stderr)
//                            when no surface can be had
//   display_begin_frame()    lock the surface; the canvas to draw into
//   display_end_frame()      colour fix, doubling, unlock, flip
#pragma once

#include "core/frame_buffer.h"

bool display_open(bool windowed);
FrameView display_begin_frame();
void display_end_frame();
