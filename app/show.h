// What the show keeps for the whole run: the decoded pictures, the mesh, the
// three work images and the scene state. Allocated once, statically, by the
// entry routine (or by capture); the frame path only reads or overwrites it.
//
// Entry points:
//   show_build_tables()       the effects' tables, built once at start-up
//   show_prepare_work(show)   work_a and work_b start as the noise picture,
//                             work_c as zero
#pragma once

#include "app/assets.h"
#include "app/scene_state.h"
#include "app/scene_tables.h"
#include "core/frame_buffer.h"

#include <array>
#include <cstdint>

struct Show {
    std::array<Picture, PICTURE_COUNT> pictures{};
    std::array<uint8_t, MESH_IMAGE_BYTES> mesh_data{};  // host-order words
    FrameBuffer work_a{};
    FrameBuffer work_b{};
    FrameBuffer work_c{};
    SceneState scene{};
};

void show_build_tables();
void show_prepare_work(Show& show);
