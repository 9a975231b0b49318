// What the show keeps for the whole run: the decoded pictures, the mesh, the
// three work images and the scene state. Allocated once, statically, by the
// entry routine (or by capture); the frame path only reads or overwrites it.
//
// Entry points:
//   show_prepare_work(show)   work_a and work_b start as the noise picture,
//                             work_c as zero
//   build_effect_tables()     the effects' own tables (halftone disc, fly-in,
//                             palettes), built once at start-up; they live
//                             in gfx/fx, not in the Show
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

void build_effect_tables();
void show_prepare_work(Show& show);
