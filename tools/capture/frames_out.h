// capture's PNG frames: DIR/frame_NNNNNN.png for frame N, 8-bit RGB, each
// written under a temporary name and renamed once complete.
//
// Entry points:
//   frames_open(f, dir, width, height)   makes the folder; "" or why not
//   frames_write(f, k, pixels)           frame k; "" or why not, f.failed
//                                        naming the file
#pragma once

#include <cstdint>
#include <span>
#include <string>

struct FramesOut {
    std::string dir;
    int width = 0;
    int height = 0;
    std::string failed;  // the frame that could not be written
};

std::string frames_open(FramesOut& f, const char* dir, int width, int height);
std::string frames_write(FramesOut& f, int64_t k, std::span<const uint32_t> pixels);
