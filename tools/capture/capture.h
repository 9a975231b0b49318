// The show played on a virtual clock: the same start-up, pacing loop and
// frame path as the demo, with the device's buffers requested at the times
// a device would ask for them, so every row is stamped as the demo stamps it.
//
// Entry points:
//   capture_run(options)   runs the show and writes what the options ask;
//                          returns the exit status
//
// Timing: buffer j of 4096 frames holds soundtrack frames 4096j..4096j+4095
// and is made at virtual time 4096j * 1000 / 44100 ms, before any video
// frame at or after that time is drawn.
#pragma once

#include "tools/capture/options.h"

int capture_run(const CaptureOptions& options);
