// The renderer's one piece of process-wide state: the model matrix, the
// projected vertex table and the two span tables. Every mesh_ file works on
// it; tests start from mesh_reset().
//
// Entry points:
//   MeshMatrix, MeshPoint    a 4x4 matrix in 4.12; one projected vertex
//   mesh_state()             the state itself
//   mesh_reset()             identity matrix, zero table, empty spans
#pragma once

#include "core/frame_buffer.h"

#include <array>
#include <cstdint>

constexpr int32_t MESH_ONE = 4096;              // 1.0 in the matrix's 4.12
constexpr int MESH_MAX_VERTICES = 1000;         // the projected table's size
constexpr int32_t MESH_SPAN_EMPTY = 100000000;  // a reset span: left = +this, right = -this

// Row-major; column 3 of rows 0..2 is the translation in 1/4096 units.
// Row 3 is carried through products but never applied to a vertex.
using MeshMatrix = std::array<std::array<int32_t, 4>, 4>;

// Screen x and y in pixels, and the camera-space z in 16.16 as transformed.
struct MeshPoint {
    int32_t x;
    int32_t y;
    int32_t z;
};

struct MeshState {
    MeshMatrix matrix;
    std::array<MeshPoint, MESH_MAX_VERTICES> projected;
    std::array<int32_t, FRAME_HEIGHT> left;   // 16.16, smallest edge x seen on a row
    std::array<int32_t, FRAME_HEIGHT> right;  // 16.16, largest edge x seen on a row
};

MeshState& mesh_state();
void mesh_reset();
