// Levels of a wide mix, and its reduction to the 16 bits the demo plays.
//
// Entry points:
//   levels_reduce(wide, out, frames, levels)   out = each true sum wrapped to
//                                              16 bits (what mixer_mix gives);
//                                              counts the frames in which a
//                                              channel's sum left -32768..32767,
//                                              and keeps the largest |sum|
//   levels_dbfs(peak)                          20 log10(peak / 32768); -inf for 0
#pragma once

#include <cstdint>

struct Levels {
    int64_t wrapped_frames = 0;
    int64_t peak = 0;  // largest absolute true sum of either channel
};

void levels_reduce(const int32_t* wide, int16_t* out, int32_t frames, Levels& levels);
double levels_dbfs(int64_t peak);
