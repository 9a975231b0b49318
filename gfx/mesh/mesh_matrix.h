// The model matrix (4.12 fixed point) and the per-vertex transform and
// perspective projection.
//
// Entry points:
//   mesh_reset_matrix()          model matrix := identity
//   mesh_translate(x, y, z)      add x, y, z model units to the translation
//   mesh_rotate_y(angle)         model matrix := model matrix x Ry(angle)
//   mesh_rotate_z(angle)         model matrix := model matrix x Rz(angle)
//   mesh_apply_matrix(m)         model matrix := model matrix x m
//   mesh_project(x, y, z)        one 16.16 model-space vertex through the
//                                model matrix onto the screen
//
// Each new matrix multiplies on the right, so rotations act in model space
// and the translation applies after them. Angles are radians.
//
// Products that the 32-bit design lets overflow (a vertex more than about
// 45 units off the axis, times the focal length 720; translations beyond
// about 128 units times 4096) wrap around modulo 2^32 instead of being
// undefined; the shipped scene stays well inside.
#pragma once

#include "gfx/mesh/mesh_state.h"

#include <cstdint>

constexpr int32_t MESH_FOCAL = 720;  // pixels; fixed, whatever the screen size
constexpr int32_t MESH_CENTRE_X = 160;
constexpr int32_t MESH_CENTRE_Y = 120;

void mesh_reset_matrix();
void mesh_translate(float x, float y, float z);
void mesh_rotate_y(float angle);
void mesh_rotate_z(float angle);
void mesh_apply_matrix(const MeshMatrix& m);
MeshPoint mesh_project(int32_t x, int32_t y, int32_t z);
