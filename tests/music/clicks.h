// Clicks in a rendering. The mixer has no volume ramps, so a voice that is
// cut, restarted or turned up while it sounds steps straight to its new
// level at a tick, the only moment the mixer takes on new settings.
//
// Entry points:
//   tick_clicks(samples, ticks)   the tick frames at which the step from the
//                                 frame before (the larger of the two sides)
//                                 is over 1500 and over twice the 99.5th
//                                 percentile of all steps within 0.5 s
//                                 around it (interleaved 16-bit stereo)
#pragma once

#include <cstdint>
#include <vector>

std::vector<long> tick_clicks(const std::vector<int16_t>& samples, const std::vector<long>& ticks);
