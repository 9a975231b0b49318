// Rendering a module through exactly our player and mixer (null back-end,
// 44100 Hz, the clock's tick length), for the checks and the render tool.
//
// Entry points:
//   render_ours(image, orders, master)  interleaved stereo frames up to the
//                                       end of order entry `orders` - 1, and
//                                       the first frame of every row
//   count_wraps(full, half)             frames where the full-master mix
//                                       differs from twice a master-32 mix of
//                                       the same song by more than rounding:
//                                       the full mix wrapped there
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
};

Rendering render_ours(const std::vector<uint8_t>& image, int orders, int master = 64);
long count_wraps(const Rendering& full, const Rendering& half);
