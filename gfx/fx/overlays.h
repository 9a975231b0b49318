// The overlay schedule: pictures laid over the finished frame for spans of
// the music, each fading in and out by a random dissolve of whole lines.
//
// Entry points:
//   OverlayRow                         one row of the schedule
//   fx_draw_overlays(dst, table, pos)  advance every active row's fades by the
//                                      time since the last call and draw it
//   fx_overlays_reset()                forget the last call (start of a run)
//
// A row is waiting while `pos` < start_pos, fades in over fade_in_ms, stays,
// and from end_pos on fades out over fade_out_ms (1 drops it at once); once
// faded out it is skipped for good. Each line of a fading row shows with the
// chance of the fade's progress, decided anew each frame with core_rand().
//
// The milliseconds counted are those from the end of one call to the start
// of the next, both read with clock_ms(), so the drawing time itself never
// counts. Before the first call the last reading is 0: the first call adds
// the whole clock reading to every row already active.
#pragma once

#include "core/frame_buffer.h"
#include "gfx/picture/picture.h"

#include <cstdint>
#include <span>

struct OverlayRow {
    int32_t start_pos;         // MusicPos from which the row counts time
    int32_t fade_in_ms;        // length of the fade-in
    int32_t fade_in_elapsed;   // ms counted since start_pos; written by the pass
    int32_t end_pos;           // MusicPos from which the fade-out runs
    int32_t fade_out_ms;       // length of the fade-out; 1 = gone at once
    int32_t fade_out_elapsed;  // ms counted since end_pos; written by the pass
    const Picture* picture;    // 320 words a row, read at the frame's coordinates; null ends the table
    int32_t x0, y0, x1, y1;    // rectangle, inclusive
};

// `table` is read up to its first row with a null picture (or its end).
// `pos` is the frame's MusicPos; both position tests compare as unsigned, so
// a negative position (nothing heard yet) counts as past every row's start.
void fx_draw_overlays(FrameView dst, std::span<OverlayRow> table, int32_t pos);
void fx_overlays_reset();
