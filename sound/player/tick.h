// The tick engine: one call of pt_tick advances the song by one tick.
//
// Entry points:
//   pt_tick()          one tick: maybe a new row, then every channel in turn
//   pt_reset_player()  playback back to its start values (the next tick
//                      starts row 0 of order entry 0); builds the ramp and
//                      random waveforms. Default pans, glissando and pan
//                      fields survive it.
//   pt_next_tick_starts_row()  whether the next pt_tick starts a row: not
//                      while the speed is 0 (the row is frozen), nor when a
//                      pattern delay holds the row instead
//
// Channel c plays on voice c and is reached only through the sound driver:
// every channel is selected on every processed tick, then tick 0 of a row
// applies the row effects and later ticks the continuous ones. The clock
// reads pt_state().play.tempo after each tick to time the next one.
#pragma once

void pt_tick();
void pt_reset_player();
bool pt_next_tick_starts_row();
