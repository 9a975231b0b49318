// The show played on a virtual clock (app/headless_run.h), frame by frame,
// with what the options ask for written as it goes (outputs.h).
//
// Entry points:
//   capture_run(options)   runs the show and writes what the options ask;
//                          returns the exit status: 0 done; 1 data/ unusable,
//                          an output failed or an --at time never reached;
//                          128 + the signal after SIGINT or SIGTERM
//
// Timing: device buffer j holds soundtrack frames from j * DEVICE_BUFFER_FRAMES
// on and is made at virtual time headless_buffer_ms(j), before any video
// frame at or after that time is drawn.
#pragma once

#include "tools/capture/options.h"

int capture_run(const CaptureOptions& options);
