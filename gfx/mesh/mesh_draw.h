// Drawing the mesh: every vertex through the model matrix onto the screen,
// then every triangle, in file order, as a black silhouette.
//
// Entry points:
//   mesh_draw(image, target)   image is the host-order mesh image; one that
//                              mesh_check refuses draws nothing
//
// There is no depth buffer and no depth sort: the back-face cull is the only
// hidden-surface step, and all triangles share one colour, so the order
// never shows. Pixels outside the front faces keep their value.
#pragma once

#include "core/frame_buffer.h"

#include <cstdint>
#include <span>

void mesh_draw(std::span<const uint8_t> image, FrameView target);
