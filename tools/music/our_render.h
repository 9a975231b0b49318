// The module as the demo plays it, through modrender's renderer (our
// player and mixer on the null back-end, in the device's buffers),
// kept in memory for the checks.
//
// Entry points:
//   render_ours(image, orders)   the 16-bit stereo output up to the end of
//                                order entry `orders` - 1, the first frame
//                                of every row and of every tick, and the
//                                true-sum levels
#pragma once

#include <cstdint>
#include <vector>

struct RowStart {
    int order, row;
    long frame;
};

struct Rendering {
    bool loaded = false;
    std::vector<int16_t> samples;  // left, right, left, right ...
    std::vector<RowStart> rows;
    std::vector<long> ticks;  // first frame of every tick: where the mixer takes on new settings
    long wrapped_frames = 0;  // frames whose true sum left the 16-bit range
    long peak = 0;            // largest |true sum| of either side
};

Rendering render_ours(const std::vector<uint8_t>& image, int orders);
