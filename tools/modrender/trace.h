// The trace lines modrender prints, and the tap that remembers what each
// voice was last handed.
//
// Entry points:
//   trace_row(out, frame, state)    "row <frame> <order> <pattern> <row> <speed> <tempo>"
//   trace_tick(out, frame, state)   "tick <frame> <order> <row> <tick>" then, per
//                                   channel, " <period>/<volume>" as last handed
//                                   to its voice (0/0 before anything was)
//   voice_tap_install()             puts forwarding wrappers into the driver's
//                                   select_voice, set_voice_period and
//                                   set_voice_volume slots; the mixer still gets
//                                   every call, unchanged and in order
//
// Order and row are the entry and row whose cells are in force (during a
// pattern delay, the held row); tick counts from 0 again on each held row.
// Speed and tempo are as they stand after the tick, so a row's own F
// command shows on its line. Frame is the index of the first output frame
// after the tick.
#pragma once

#include <cstdint>
#include <cstdio>

#include "sound/player/player_state.h"

void trace_row(std::FILE* out, int64_t frame, const PlayerState& state);
void trace_tick(std::FILE* out, int64_t frame, const PlayerState& state);
void voice_tap_install();
