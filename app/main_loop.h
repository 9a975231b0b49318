// The frame loop: one frame per turn, as fast as drawing and the flip allow,
// until the music passes its last scene position or Escape is pressed.
//
// Entry points:
//   main_loop_run(show)   runs the show on its state; ends SDL and returns
//                         the exit status (0)
//   MAIN_LOOP_LAST_POSITION   the show ends after the first frame past it
#pragma once

#include "app/show.h"

#include <cstdint>

// Order entry 13, row 62.
constexpr int32_t MAIN_LOOP_LAST_POSITION = 1362;

int main_loop_run(Show& show);
