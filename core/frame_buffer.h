// The 320x240 frame every scene and effect draws into.
//
// Pixels are 0xAARRGGBB words, row-major, 320 words (1280 bytes) a row with
// no padding: pixel (x, y) is at index y * FRAME_WIDTH + x. Full-screen
// pictures are read with the same row length.
#pragma once

#include <array>
#include <cstdint>
#include <span>

constexpr int FRAME_WIDTH = 320;
constexpr int FRAME_HEIGHT = 240;
constexpr int FRAME_PIXELS = FRAME_WIDTH * FRAME_HEIGHT;

using FrameBuffer = std::array<uint32_t, FRAME_PIXELS>;  // storage
using FrameView = std::span<uint32_t, FRAME_PIXELS>;     // a frame drawn in place
