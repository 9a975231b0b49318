// Onsets and levels in a rendering: does the sound get louder right at a
// row, and how loud is a stretch of it?
//
// Entry points:
//   row_frame(pos)                first frame of row pos (a MusicPos) at the
//                                 song's speed 6, tempo 125: 5292 frames a row
//   onset_rise(samples, frame)    energy of the loudest 5 ms within 30 ms
//                                 from `frame`, over the energy of the 20 ms
//                                 before it (interleaved 16-bit stereo, mono sum)
//   rms_dbfs(samples, from, to)   RMS of both sides over frames [from, to),
//                                 in dB below a full-scale 32768
#pragma once

#include <cstdint>
#include <vector>

long row_frame(int pos);
double onset_rise(const std::vector<int16_t>& samples, long frame);
double rms_dbfs(const std::vector<int16_t>& samples, long from, long to);
