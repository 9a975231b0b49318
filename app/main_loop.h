// The frame loop: one frame per turn, as fast as drawing and the flip allow,
// until Escape.
//
// Entry points:
//   main_loop_run(show)   runs the show; returns the exit status (0)
#pragma once

#include "show.h"

int main_loop_run(Show& show);
