// What the show keeps for the whole run: the decoded pictures, the mesh, the
// three work images, the fly-in's paint image and the scene state. Allocated
// once, statically, by the entry routine (or by capture); the frame path
// only reads or overwrites it.
//
// Entry points:
//   PaintImage                one byte a pixel, 320 a row: the fly-in's grey
//                             levels, 0..255
//   show_prepare_work(show)   work_a and work_b start as the noise picture,
//                             work_c and the paint image as zero
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

using PaintImage = std::array<uint8_t, FRAME_PIXELS>;

struct Show {
    std::array<Picture, PICTURE_COUNT> pictures{};
    std::array<uint8_t, MESH_IMAGE_BYTES> mesh_data{};  // host-order words
    // Each scene that needs one takes a work image whole, in turn:
    FrameBuffer work_a{};  // scene 2's smoke over the static; scene 6's emblem with the mesh drawn in
    FrameBuffer work_b{};  // scene 7's crawl, grown over the static
    FrameBuffer work_c{};  // scene 5's fading picture: the painting in colour, stepped towards the emblem
    PaintImage paint{};    // scene 4 paints it, scene 5 turns it to colour once
    SceneState scene{};
};

void build_effect_tables();
void show_prepare_work(Show& show);
