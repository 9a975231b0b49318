// The frame loop: one frame per turn, as fast as drawing and the flip allow,
// until Escape.
//
// Entry points:
//   main_loop_run()   runs the show; returns the exit status (0)
#pragma once

int main_loop_run();
