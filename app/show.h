// What the show keeps for the whole run: the decoded pictures, the mesh and
// the three work images of the scenes. Allocated once, statically, by the
// entry routine; the frame loop only reads or overwrites it.
//
// Entry points:
//   show_prepare_work(show)   work_a and work_b start as the noise picture,
//                             work_c as zero
#pragma once

#include "app/assets.h"
#include "core/frame_buffer.h"

#include <array>
#include <cstdint>

constexpr int PICTURE_NOISE = 14;

struct Show {
    std::array<Picture, PICTURE_COUNT> pictures{};
    std::array<uint8_t, MESH_BYTES> mesh_data{};  // host-order words
    FrameBuffer work_a{};
    FrameBuffer work_b{};
    FrameBuffer work_c{};
};

void show_prepare_work(Show& show);
