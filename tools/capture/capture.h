// The show played on a virtual clock (app/headless_run.h), frame by frame,
// with what the options ask for written as it goes (outputs.h).
//
// Entry points:
//   capture_run(options)   runs the show and writes what the options ask;
//                          returns the exit status: 0 done; 1 data/ unusable,
//                          an output failed or an --at time never reached;
//                          128 + the signal after SIGINT or SIGTERM
//
// Timing: buffer j of 4096 frames holds soundtrack frames 4096j..4096j+4095
// and is made at virtual time 4096j * 1000 / 44100 ms, before any video
// frame at or after that time is drawn.
#pragma once

#include "tools/capture/options.h"

int capture_run(const CaptureOptions& options);
