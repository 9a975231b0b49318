// The triangle filler: one projected triangle as a solid area of colour 0,
// with back-face culling and row-by-row clipping to the 320x240 frame.
//
// Entry points:
//   mesh_fill_triangle(target, p0, p1, p2)   fills the triangle when
//       P0 -> P1 -> P2 runs counter-clockwise on screen (y down); a
//       clockwise or flat one draws nothing
//
// Only the x and y of the points are read. Each row's span runs from the
// integer part of its leftmost edge crossing to that of its rightmost, both
// ends filled, so neighbouring triangles share their boundary pixels. The
// span tables of the renderer's state are reset for the triangle's rows on
// every call and keep what it left in them.
//
// Any 32-bit points are safe: edge arithmetic wraps at 32 bits as the
// design's does, and every write is clipped to the frame.
#pragma once

#include "core/frame_buffer.h"
#include "gfx/mesh/mesh_state.h"

#include <cstdint>

constexpr uint32_t MESH_COLOUR = 0x00000000;

void mesh_fill_triangle(FrameView target, const MeshPoint& p0, const MeshPoint& p1, const MeshPoint& p2);
