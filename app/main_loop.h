// The frame loop: one frame per turn, as fast as drawing and the flip allow,
// until the music passes its last scene position, Escape is pressed or
// SIGINT/SIGTERM arrives.
//
// Entry points:
//   main_loop_turn(loop)   one frame (frame_draw into the display's canvas,
//                          the input step between the scene and the
//                          layers); false when the show ends after it
//   main_loop_run(show)    turns until then; ends SDL and returns the exit
//                          status (0)
//   main_loop_end()        the sound device closed, then SDL ended
#pragma once

#include "app/input.h"
#include "app/show.h"

#include <cstdint>

// What the loop keeps from one turn to the next.
struct MainLoop {
    Show& show;
    InputState input{};
    int32_t ff_step = 0;  // the fast-forward's 10 ms step at its last jump
};

bool main_loop_turn(MainLoop& loop);
void main_loop_end();
int main_loop_run(Show& show);
